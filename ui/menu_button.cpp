#include "ui/menu_button.h"

UINT CMenuButton::TrackMenu(UINT menuId)
{
    CMenu menu;
    if (!menu.LoadMenu(menuId))
        return 0;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return 0;
    CRect button;
    GetWindowRect(button);
    // The command comes back here, not as a message to the dialog.
    return static_cast<UINT>(
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, button.left, button.bottom, this));
}
