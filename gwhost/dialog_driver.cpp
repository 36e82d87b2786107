#include "stdio_command_line.h"

#include <text_for_terminal.h>

#include <charconv>

namespace {

// The actions are listed in --help and with every unknown one.
const char kPrompt[] = "Dialog action: ";

// Names in a form come from the drawing: each line is made safe on its own.
std::string ForTerminal(const std::string& lines)
{
    std::string out;
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        out += TextForTerminal(std::string_view(lines).substr(start, end - start)) + "\n";
        start = end + 1;
    }
    return out;
}

void ShowForm(const DialogSession& session) { HostWriteOutput("\n" + ForTerminal(FormatDialogForm(session.form()))); }

} // namespace

void TerminalDialogDriver::runModal(DialogSession& session)
{
    ShowForm(session);
    while (!session.ended()) {
        HostWriteOutput(kPrompt);
        std::string line;
        const HostInputResult input = HostReadInputLine(line);
        if (input != HostInputResult::Line) {
            // Escape, or no one left to answer: the dialog is cancelled.
            HostWriteOutput(input == HostInputResult::Cancel ? "\n(Escape: cancel)\n" : "\n(end of input: cancel)\n");
            session.cancel();
            return;
        }
        HostWriteOutput("\n");
        const ActionResult result = session.perform(line);
        if (!result.done)
            HostWriteOutput("Refused: " + TextForTerminal(result.why) + "\n");
        if (!session.ended())
            ShowForm(session);
    }
}

UINT TerminalDialogDriver::choosePopupCommand(const PopupForm& popup)
{
    HostWriteOutput("\n" + ForTerminal(FormatPopupForm(popup)));
    for (;;) {
        HostWriteOutput("Menu command (empty closes the menu): ");
        std::string line;
        if (HostReadInputLine(line) != HostInputResult::Line)
            return 0;
        HostWriteOutput("\n");
        if (line.empty() || line == "cancel")
            return 0;
        UINT command = 0;
        auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), command);
        if (error == std::errc() && end == line.data() + line.size() && popup.item(command))
            return command;
        HostWriteOutput("Refused: \"" + TextForTerminal(line) + "\" is not a command of the menu\n");
    }
}

std::optional<std::string> TerminalDialogDriver::chooseFile(const FileForm& form)
{
    // The filter's first description tells the user what is looked for.
    const std::string kinds = form.filter.substr(0, form.filter.find('|'));
    HostWriteOutput(std::string("\n") + (form.open ? "Open file" : "Save file") +
                    (kinds.empty() ? "" : " (" + TextForTerminal(kinds) + ")") + " <" +
                    TextForTerminal(form.fileName) + ">, or cancel: ");
    std::string line;
    if (HostReadInputLine(line) != HostInputResult::Line || line == "cancel")
        return std::nullopt;
    HostWriteOutput("\n");
    return line.empty() ? form.fileName : line;
}
