#include "acui.h"

CAdUiDialog::CAdUiDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource)
    : CDialog(templateId, parent)
{
    m_hDialogResource = dialogResource;
}

CAcUiDialog::CAcUiDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource)
    : CAdUiDialog(templateId, parent, dialogResource)
{
}
