#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

void ScriptedDialogs::NextActions(std::initializer_list<std::string> actions)
{
    std::vector<std::string> lines(actions);
    Next([lines](DialogSession& session) {
        for (const std::string& line : lines)
            Act(session, line);
        EXPECT_TRUE(session.ended()) << "the dialog is still open after its actions";
    });
}

void ScriptedDialogs::runModal(DialogSession& session)
{
    opened.push_back(session.form());
    if (handlers.empty()) {
        session.ok();
        return;
    }
    Handler handler = std::move(handlers.front());
    handlers.pop_front();
    handler(session);
}

UINT ScriptedDialogs::choosePopupCommand(const PopupForm& popup)
{
    popups.push_back(popup);
    if (popupAnswers.empty())
        return 0;
    const UINT answer = popupAnswers.front();
    popupAnswers.pop_front();
    return answer;
}

void Act(DialogSession& session, const std::string& action)
{
    const ActionResult result = session.perform(action);
    EXPECT_TRUE(result.done) << action << ": " << result.why;
}

std::optional<std::string> ScriptedDialogs::chooseFile(const FileForm& form)
{
    files.push_back(form);
    if (fileAnswers.empty())
        return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}
