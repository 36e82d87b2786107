// A push button that drops a menu: the options dialog's file button. The
// template gives it the owner-draw style; it draws its caption left of the
// middle with a down arrow after it, so the user sees that it opens a menu.
#pragma once
#include <afxwin.h>

class CMenuButton : public CButton {
public:
    // Drops the first popup of menu `menuId` (current resource source) below
    // the button and returns the command picked, 0 when the menu is dismissed.
    UINT TrackMenu(UINT menuId);
    void DrawItem(LPDRAWITEMSTRUCT item) override;
};
