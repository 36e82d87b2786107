// Stand-in for acui.h: the host-specific dialog base that a module's dialogs
// derive from. Its template comes from `dialogResource`, else from the
// current resource source (the module's resource module while a command of
// the module runs).
#pragma once
#include <adui.h>

class CAcUiDialog : public CAdUiDialog {
public:
    CAcUiDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};

class CAcUiTabMainDialog : public CAdUiTabMainDialog {
public:
    CAcUiTabMainDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};

class CAcUiTabChildDialog : public CAdUiTabChildDialog {
public:
    explicit CAcUiTabChildDialog(CWnd* parent = nullptr, HINSTANCE dialogResource = nullptr);
};
