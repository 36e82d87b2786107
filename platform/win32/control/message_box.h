// Stand-in for MessageBoxA. There is no screen: a box goes to the installed
// UI driver, which gwhost implements by printing "<caption>: <text>" and
// reading the answer to a question from its input, and tests implement by
// recording the box and answering from a script. Without a driver a box is
// written to standard error and answered with its default button.
#pragma once
#include "windef.h"

#include <string>

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

class MessageBoxDriver {
public:
    virtual ~MessageBoxDriver() = default;
    // Shows the box and returns the id of the button that closed it.
    virtual int show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// Installs the driver for the whole process (null: none); returns the one before.
MessageBoxDriver* SetMessageBoxDriver(MessageBoxDriver* driver);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
