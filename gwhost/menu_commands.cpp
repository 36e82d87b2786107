// "menu", "menu pick ITEM" and "toolbar pick BUTTON": the main window's menu
// bar as the user sees it, read the way an application reads it (GetMenu,
// GetMenuStringA by position), and a pick that types the item's command.
#include "sessions.h"

#include <acad_host.h>
#include <acdocman.h>
#include <host_io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kItemTextMax = 1024;

// A menu text as it shows: the "&" marking the mnemonic is not drawn.
std::string Shown(const char* text)
{
    std::string shown;
    for (const char* c = text; *c; ++c)
        if (*c != '&' || c[1] == '&')
            shown += *c;
    return shown;
}

void PrintMenuBar(AcadHost& host)
{
    HMENU bar = GetMenu(adsw_acadMainWnd());
    if (!bar) {
        HostWriteOutput("\nThe main window has no menu bar.");
        return;
    }
    std::string out = "\nMenu bar:";
    const int count = GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position) {
        char text[kItemTextMax];
        const int length = GetMenuStringA(bar, static_cast<UINT>(position), text, kItemTextMax, MF_BYPOSITION);
        char number[16];
        std::snprintf(number, sizeof number, "\n%3d  ", position);
        out += number;
        out += length > 0 ? Shown(text) : "(untitled)";
        HMENU popup = GetSubMenu(bar, position);
        const int items = popup ? GetMenuItemCount(popup) : 0;
        for (int item = 0; item < items; ++item) {
            if (GetMenuStringA(popup, static_cast<UINT>(item), text, kItemTextMax, MF_BYPOSITION) > 0)
                out += "\n       " + Shown(text);
            else
                out += "\n       ----";
        }
    }
    for (const std::string& line : host.visibleToolbarLines())
        out += "\n" + line;
    HostWriteOutput(out);
}

} // namespace

bool RunMenuHostCommand(AcadHost& host, const std::string& line)
{
    const std::string pick = "menu pick ";
    const std::string toolbarPick = "toolbar pick ";
    if (line == "menu") {
        PrintMenuBar(host);
        return true;
    }
    const bool fromToolbar = line.rfind(toolbarPick, 0) == 0;
    if (!fromToolbar && line.rfind(pick, 0) != 0) {
        if (line.rfind("menu ", 0) == 0 || line == "toolbar" || line.rfind("toolbar ", 0) == 0) {
            HostWriteOutput("\nusage: menu | menu pick ITEM | toolbar pick BUTTON");
            return true;
        }
        return false;
    }
    const std::string item = line.substr(fromToolbar ? toolbarPick.size() : pick.size());
    std::string error;
    if (!host.pickMenuItem(item, fromToolbar, error))
        HostWriteOutput("\n" + error);
    return true;
}
