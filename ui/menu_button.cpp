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

void CMenuButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    CDC* dc = CDC::FromHandle(item->hDC);
    if (!dc)
        return;
    CRect rect(item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom);
    dc->DrawFrameControl(rect, DFC_BUTTON, DFCS_BUTTONPUSH | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0u));

    CString caption;
    GetWindowText(caption);
    const CSize extent = dc->GetTextExtent(caption.GetString(), caption.GetLength());
    const int middleX = (rect.left + rect.right) / 2;
    const int middleY = (rect.top + rect.bottom) / 2;
    // The caption sits 5 pixels left of centre to leave room for the arrow.
    const int textLeft = middleX - extent.cx / 2 - 5;
    const int textTop = middleY - extent.cy / 2;
    CRect textRect(textLeft, textTop, textLeft + extent.cx, textTop + extent.cy);
    dc->DrawText(caption.GetString(), -1, textRect, DT_SINGLELINE);

    // The arrow: six lines, each a pixel shorter at both ends than the one
    // above, in grey when the button is disabled.
    CPen pen(PS_SOLID, 1, GetSysColor((item->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    CPen* previous = dc->SelectObject(&pen);
    const int x = textRect.right + 5;
    const int y = middleY - 3;
    for (int k = 0; k < 6; ++k) {
        dc->MoveTo(x + k, y + k);
        dc->LineTo(x + 10 - k, y + k);
    }
    dc->SelectObject(previous);

    if (item->itemState & ODS_FOCUS) {
        CRect focus(rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3);
        dc->DrawFocusRect(focus);
    }
}
