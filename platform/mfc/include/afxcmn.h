// Stand-in for afxcmn.h: the framework's wrappers of the common controls the
// module uses, the list view (report view: columns, items, selection, focus,
// full-row selection) and the tooltip control.
#pragma once
#include "afxwin.h"

#include <commctrl.h>

struct __POSITION;
typedef __POSITION* POSITION;

class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    DWORD SetExtendedStyle(DWORD style); // the previous extended style
    DWORD GetExtendedStyle() const;
    int InsertItem(int index, LPCSTR text); // the new item's index, -1 on failure
    int GetItemCount() const;
    CString GetItemText(int item, int subItem) const;
    // Item -1 sets the state of every item, as LVM_SETITEMSTATE does.
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    // The next item after `start` (-1: from the top) with the LVNI_ flags.
    int GetNextItem(int start, int flags) const;
    UINT GetSelectedCount() const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& position) const;
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    void Activate(BOOL activate);
    BOOL AddTool(CWnd* window, LPCSTR text);
    int SetMaxTipWidth(int width);
    // Hands a message of the owner's to the tooltip, which shows or hides
    // tips as the pointer moves.
    void RelayEvent(LPMSG message);
};

// The up-down control: an integer position in a range, stepped by the
// arrows; a step notifies the parent with UDN_DELTAPOS (which MFC reflects to
// the control first). With UDS_SETBUDDYINT and nobody handling the step, the
// position moves and the buddy shows it.
class CSpinButtonCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper);
    int SetPos(int position); // the previous position
    int SetBase(int base);    // the previous base, 0 for a base other than 10 or 16
    CWnd* GetBuddy() const;
};
