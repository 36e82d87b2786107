#include "stdio_command_line.h"

#include <cctype>

namespace {

// The answer a reply names, or 0 when it names none of the box's buttons.
int ButtonFromReply(std::string reply, UINT buttons)
{
    for (char& c : reply)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool yesNo = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
    if (yesNo && (reply == "y" || reply == "yes"))
        return IDYES;
    if (yesNo && (reply == "n" || reply == "no"))
        return IDNO;
    if (reply == "c" || reply == "cancel" || reply == "^c")
        return (buttons == MB_YESNO) ? 0 : IDCANCEL;
    if ((buttons == MB_OKCANCEL) && (reply == "ok" || reply.empty()))
        return IDOK;
    if (buttons == MB_RETRYCANCEL && (reply == "r" || reply == "retry"))
        return IDRETRY;
    return 0;
}

const char* ChoicesOf(UINT buttons)
{
    switch (buttons) {
    case MB_YESNO:
        return " [Yes/No]";
    case MB_YESNOCANCEL:
        return " [Yes/No/Cancel]";
    case MB_OKCANCEL:
        return " [OK/Cancel]";
    case MB_RETRYCANCEL:
        return " [Retry/Cancel]";
    default:
        return "";
    }
}

} // namespace

int PrintingMessageBoxDriver::show(HWND, const std::string& text, const std::string& caption, UINT type)
{
    const UINT buttons = type & MB_TYPEMASK;
    HostWriteOutput("\n" + caption + ": " + text + "\n");
    if (buttons == MB_OK)
        return IDOK;
    for (;;) {
        HostWriteOutput(std::string(ChoicesOf(buttons)).substr(1) + ": ");
        std::string reply;
        if (HostReadInputLine(reply) != HostInputResult::Line)
            // No answer to be had: the box closes as Escape closes it.
            return buttons == MB_YESNO ? IDNO : IDCANCEL;
        if (int button = ButtonFromReply(reply, buttons))
            return button;
    }
}
