#include "message_box.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<MessageBoxDriver*> g_driver{nullptr};
}

MessageBoxDriver* SetMessageBoxDriver(MessageBoxDriver* driver) { return g_driver.exchange(driver); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    // Windows shows "Error" when the caption is null.
    const std::string captionText = caption ? caption : "Error";
    const std::string bodyText = text ? text : "";
    if (MessageBoxDriver* driver = g_driver.load())
        return driver->show(owner, bodyText, captionText, type);
    std::fprintf(stderr, "%s: %s\n", captionText.c_str(), bodyText.c_str());
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}
