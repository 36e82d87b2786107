// hhctrl.ocx, the HTML Help viewer of this platform (see htmlhelp.h): it
// shows "NAME.chm" as the page "NAME.html" beside it. A compiled help file
// cannot be read here; the HTML page is what it would be compiled from.
#include "dos_path.h"
#include "export_ordinals.h"

#include <host_io.h>
#include <htmlhelp.h>
#include <shell.h>
#include <shellapi.h>
#include <winuser.h>

#include <string>
#include <sys/stat.h>

namespace {

// The viewer's window, for callers that look at the answer only for null.
struct HelpWindow {
};
HelpWindow g_helpWindow;

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// "Z:\dir\gwell.chm::/topic.htm>main" names the file "Z:\dir\gwell.chm".
std::string HelpFileOf(const std::string& argument)
{
    std::string file = argument.substr(0, argument.find("::"));
    return file.substr(0, file.find('>'));
}

// The page a compiled help file stands for: its name with ".html".
std::string PageOf(const std::string& unixPath)
{
    const std::size_t slash = unixPath.rfind('/');
    const std::size_t dot = unixPath.rfind('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
        ? unixPath.substr(0, dot)
        : unixPath;
    return stem + ".html";
}

} // namespace

extern "C" {

HWND HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR)
{
    // Only the default topic is shown; other commands are not supported here.
    if (command != HH_DISPLAY_TOPIC || !file || !*file)
        return nullptr;
    const std::string helpFile = HelpFileOf(file);
    const std::string page = PageOf(UnixPathFromDos(helpFile));
    if (!IsRegularFile(page)) {
        HostWriteOutput("\nHTML Help: cannot open the file " + helpFile + ".\n");
        return nullptr;
    }
    if (DesktopCanOpenDocuments()) {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32)
            return reinterpret_cast<HWND>(&g_helpWindow);
    }
    // No desktop to show it on: the user is told where the page is.
    HostWriteOutput("\nHelp: " + page + "\n");
    return reinterpret_cast<HWND>(&g_helpWindow);
}

extern const GwOrdinalExport gwOrdinalExports[];
extern const int gwOrdinalExportCount;
// As hhctrl.ocx numbers it: the ANSI entry point is ordinal 14.
const GwOrdinalExport gwOrdinalExports[] = {{14, "HtmlHelpA"}};
const int gwOrdinalExportCount = 1;

} // extern "C"
