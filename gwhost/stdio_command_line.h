// gwhost's command line: input lines from standard input, output to
// standard output, and message boxes printed as "<caption>: <text>" with
// questions answered from the input.
#pragma once
#include <host_io.h>
#include <dialog_driver.h>
#include <message_box.h>

#include <cstdio>
#include <functional>
#include <string>

// Reads standard input itself (not through a buffered stream) so that it
// can wait for input and keep the host's message loop running meanwhile.
class StdioCommandLine : public HostCommandLine {
public:
    // Called about every 20 ms while no input line is complete; when it
    // returns true with `line` set, that line is answered instead (such as a
    // command string a timer sent to the document).
    std::function<bool(std::string& line)> idle;
    // When set and true, the input counts as ended (a signal asked to stop).
    std::function<bool()> stop;

    bool readLine(std::string& line) override;
    void write(const std::string& text) override { std::fwrite(text.data(), 1, text.size(), stdout); }

private:
    std::string buffer_;
    bool ended_ = false;
};

class PrintingMessageBoxDriver : public MessageBoxDriver {
public:
    int show(HWND, const std::string& text, const std::string& caption, UINT type) override;
};

// Dialogs at the terminal: each dialog that opens is printed as a form and
// acted on with one action a line (dialog_driver.h); a refused action prints
// why and the form again, and the end of input cancels the dialog.
class TerminalDialogDriver : public DialogDriver {
public:
    void runModal(DialogSession& session) override;
    UINT choosePopupCommand(const PopupForm& popup) override;
    // The path is typed; Enter takes the offered name, "cancel" cancels.
    std::optional<std::string> chooseFile(const FileForm& form) override;
};
