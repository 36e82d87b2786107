#include "ui/hyperlink_open.h"

#include "common/handles.h"

#include <afxwin.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The size each registry read of the fallback takes, as the classes root
// keeps a command line no longer than a path.
constexpr DWORD kRegistryTextMax = MAX_PATH;

// The default value of `subKey` under the classes root; false when the key
// or its text cannot be read.
bool ReadClassesRootText(const std::string& subKey, std::string& text)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    UniqueRegistryKey key;
    key.adopt(opened);
    char data[kRegistryTextMax];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // The stored text may or may not end in its terminator.
    text.assign(data, strnlen(data, size));
    return true;
}

} // namespace

HINSTANCE GotoURL(LPCSTR url, int showCommand)
{
    HINSTANCE result = ShellExecuteA(nullptr, "open", url, nullptr, nullptr, showCommand);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return result;
    std::string fileType;
    std::string command;
    if (!ReadClassesRootText(".htm", fileType) || !ReadClassesRootText(fileType + "\\shell\\open\\command", command))
        return result;
    // The URL takes the place of the handler's "%1" (quotes and all), else
    // it follows the command. Built as a string: the URL's length is the
    // page's, not the registry's.
    std::size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos)
        cut = command.find("%1");
    if (cut != std::string::npos)
        command.resize(cut);
    command += " ";
    command += url ? url : "";
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(WinExec(command.c_str(), static_cast<UINT>(showCommand))));
}

std::string HyperlinkErrorText(INT_PTR result)
{
    switch (result) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
        return "The specified file was not found.";
    case SE_ERR_PNF:
        return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
        return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
        return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
        return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
        return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
        return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC:
        return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
        return "The specified dynamic-link library was not found.";
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", static_cast<int>(result));
        return text;
    }
    }
}

bool FollowHyperlink(LPCSTR url)
{
    const auto result = reinterpret_cast<INT_PTR>(GotoURL(url, SW_SHOWNORMAL));
    if (result > 32)
        return true;
    MessageBeep(MB_ICONEXCLAMATION);
    const std::string message = "Unable to open hyperlink:\n\n" + HyperlinkErrorText(result);
    AfxMessageBox(message.c_str(), MB_ICONEXCLAMATION | MB_OK);
    return false;
}
