// The driver behind MessageBoxA (winuser.h). There is no screen: a box goes
// to the installed UI driver, which gwhost implements by printing "<caption>: <text>" and
// reading the answer to a question from its input, and tests implement by
// recording the box and answering from a script. Without a driver a box is
// written to standard error and answered with its default button.
#pragma once
#include <winuser.h>

#include <string>

class MessageBoxDriver {
public:
    virtual ~MessageBoxDriver() = default;
    // Shows the box and returns the id of the button that closed it.
    virtual int show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// Installs the driver for the whole process (null: none); returns the one before.
MessageBoxDriver* SetMessageBoxDriver(MessageBoxDriver* driver);

