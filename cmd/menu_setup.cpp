#include "cmd/menu_setup.h"

#include "app/gwell_app.h"
#include "app/module_paths.h"
#include "cmd/system_variable_scope.h"

#include <acdocman.h>
#include <acedads.h>
#include <adslib.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char kMenuGroup[] = "GWELL16";
const char kMenuFile[] = "gwmenu16.cui";
const char kToolbar[] = "gwell.tb_gwell";
// Where the pull-down goes when the menu bar cannot be read.
constexpr int kFallbackMenuPosition = 9;
// The longest item text read from the menu bar.
constexpr int kMenuTextMax = 1024;

bool ItemHasText(HMENU menu, int position)
{
    char text[kMenuTextMax];
    return GetMenuStringA(menu, static_cast<UINT>(position), text, kMenuTextMax, MF_BYPOSITION) > 0;
}

} // namespace

int MenuInsertionPosition()
{
    HWND mainWindow = adsw_acadMainWnd();
    if (!mainWindow)
        return -1;
    HMENU menuBar = GetMenu(mainWindow);
    if (!menuBar)
        return -1;
    const int count = GetMenuItemCount(menuBar);
    if (count < 3)
        return 0;
    // The last titled item (Help): a maximised document window's buttons
    // stand untitled after it.
    int last = count - 1;
    while (last >= 0 && !ItemHasText(menuBar, last))
        --last;
    if (last < 3)
        return 0;
    // The untitled icon of a maximised document window is no pull-down the
    // host counts in its menu positions.
    if (!ItemHasText(menuBar, 0))
        --last;
    return last;
}

int InitGwellMenu()
{
    acedRetVoid();
    if (acedIsMenuGroupLoaded(kMenuGroup))
        return RSRSLT;
    // The commands below run quietly and without dialogs; both variables
    // get the user's values back at the end of the scope.
    SystemVariableScope quietEcho("cmdecho", 0);
    SystemVariableScope noDialogs("cmddia", 0);
    const std::string menuFile = ModuleDirectoryOf(TheGwellApp().ModuleInstance()) + "\\" + kMenuFile;
    acedCommand(RTSTR, "_.menuload", RTSTR, menuFile.c_str(), RTNONE);
    int position = MenuInsertionPosition();
    if (position < 0)
        position = kFallbackMenuPosition;
    char menuCommand[64];
    std::snprintf(menuCommand, sizeof menuCommand, "P%d=+%s.pop1", position, kMenuGroup);
    acedMenuCmd(menuCommand);
    return RSRSLT;
}

bool ShowToolbar()
{
    InitGwellMenu();
    // Without its menu group (the menu file missing or damaged) the host has
    // no such toolbar to show.
    if (!acedIsMenuGroupLoaded(kMenuGroup))
        return true;
    SystemVariableScope quietEcho("cmdecho", 0);
    acedCommand(RTSTR, "_.-toolbar", RTSTR, kToolbar, RTSTR, "_show", RTNONE);
    return true;
}
