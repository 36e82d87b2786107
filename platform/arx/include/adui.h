// Stand-in for adui.h: the host's dialog base of its user-interface library.
// The real class adds the host's look, help and position memory, none of
// which a driven dialog has; here it is the framework's dialog.
#pragma once
#include <afxwin.h>

class CAdUiDialog : public CDialog {
public:
    CAdUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};
