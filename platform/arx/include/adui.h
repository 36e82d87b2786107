// Stand-in for adui.h: the host's dialog bases of its user-interface
// library: the plain dialog and the tab dialog whose pages are child dialogs
// shown one at a time in its tab control. The real classes add the host's
// look, help and position memory, none of which a driven dialog has.
#pragma once
#include <afxwin.h>

class CAdUiDialog : public CDialog {
public:
    CAdUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};

// The tab control of a tab dialog: one item per page; the driver's "tab"
// action picks the page shown.
class CAdUiTab : public CWnd {
public:
    int GetCurSel() const; // the page shown, -1 for none
};

class CAdUiTabChildDialog;

class CAdUiTabMainDialog : public CAdUiDialog {
public:
    CAdUiTabMainDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
    // The tab control the pages go into (attached to the template's control).
    void SetAcadTabPointer(CAdUiTab* tab) { m_tab = tab; }
    // Creates `page` from template `templateId` inside the dialog (its
    // OnInitDialog runs now) and adds its tab at `index`; the first page
    // added is shown. FALSE without a tab control or template.
    BOOL AddTab(int index, LPCSTR title, UINT templateId, CAdUiTabChildDialog* page);
    CAdUiTab* GetTab() const { return m_tab; }

private:
    CAdUiTab* m_tab = nullptr;
};

class CAdUiTabChildDialog : public CAdUiDialog {
public:
    explicit CAdUiTabChildDialog(CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};
