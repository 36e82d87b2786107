// A dialog driver for tests: each dialog that opens is recorded and handed to
// the next queued handler, which acts on it as the user would. A dialog with
// no handler queued is confirmed with OK as it opened, as a user pressing
// Enter would; the message boxes' test double answers IDOK the same way.
#pragma once
#include <dialog_driver.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class ScriptedDialogs : public DialogDriver {
public:
    using Handler = std::function<void(DialogSession&)>;

    // Queues a handler for the next dialog that opens.
    void Next(Handler handler) { handlers.push_back(std::move(handler)); }
    // Queues actions in text form for the next dialog; each must be taken
    // (a refused one fails the test), and the dialog must have ended after them.
    void NextActions(std::initializer_list<std::string> actions);

    void runModal(DialogSession& session) override;
    UINT choosePopupCommand(const PopupForm& popup) override;
    std::optional<std::string> chooseFile(const FileForm& form) override;

    std::deque<Handler> handlers;
    std::vector<DialogForm> opened;   // every dialog as it opened
    std::deque<UINT> popupAnswers;    // for popups opened without a command
    std::vector<PopupForm> popups;    // every popup a handler did not pre-answer
    std::deque<std::optional<std::string>> fileAnswers; // none: cancel
    std::vector<FileForm> files;      // every file dialog shown
};

// Performs an action that must be taken; a refusal fails the test with its reason.
void Act(DialogSession& session, const std::string& action);
