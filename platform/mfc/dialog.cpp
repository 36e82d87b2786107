#include "afxwin.h"

#include "modal_state.h"
#include "resource_templates.h"
#include "window_tree.h"

#include <cstdio>

using mfcwin::Kind;
using mfcwin::Window;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDHelp(templateId)
    , m_pParentWnd(parent)
{
}

namespace {

// Without a focus of its own choosing, a dialog starts on its first tab stop.
void FocusFirstTabStop(Window& dialog)
{
    for (HWND child : dialog.children) {
        Window* control = mfcwin::Find(child);
        if (control && (control->style & WS_TABSTOP) && control->enabled && control->visible) {
            dialog.focus = child;
            return;
        }
    }
}

} // namespace

INT_PTR CDialog::DoModal()
{
    HINSTANCE source = m_hDialogResource ? m_hDialogResource : AfxGetResourceHandle();
    const GwDialogTemplate* dialogTemplate = FindDialogTemplate(source, m_nIDHelp);
    if (!dialogTemplate || m_hWnd)
        return -1;
    Window& made = mfcwin::BuildFromTemplate(*dialogTemplate, nullptr);
    const HWND handle = made.handle;
    Attach(handle);

    // The window goes when DoModal returns, also when a handler throws.
    struct Closer {
        CDialog* dialog;
        HWND handle;
        ~Closer()
        {
            if (mfcwin::Find(handle))
                mfcwin::Destroy(handle);
        }
    } closer{this, handle};

    if (OnInitDialog())
        if (Window* dialog = mfcwin::Find(handle); dialog && !dialog->focus)
            FocusFirstTabStop(*dialog);
    if (Window* dialog = mfcwin::Find(handle); dialog && !dialog->ended) {
        if (DialogDriver* driver = mfcwin::CurrentDialogDriver()) {
            DialogSession session(handle);
            driver->runModal(session);
        } else {
            std::fprintf(stderr, "%s: no one to answer the dialog; cancelled\n", dialog->text.c_str());
        }
    }
    // A dialog the user left open closes as Escape closes it.
    if (Window* dialog = mfcwin::Find(handle); dialog && !dialog->ended)
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Window* dialog = mfcwin::Find(handle);
    if (dialog && !dialog->ended)
        EndDialog(IDCANCEL);
    return dialog ? dialog->result : IDCANCEL;
}

void CDialog::EndDialog(int result)
{
    if (Window* dialog = mfcwin::Find(m_hWnd)) {
        dialog->ended = true;
        dialog->result = result;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    HINSTANCE source = m_hDialogResource ? m_hDialogResource : AfxGetResourceHandle();
    const GwDialogTemplate* dialogTemplate = FindDialogTemplate(source, templateId);
    if (!dialogTemplate || m_hWnd || !parent || !mfcwin::Find(parent->m_hWnd))
        return FALSE;
    m_nIDHelp = templateId;
    Window& made = mfcwin::BuildFromTemplate(*dialogTemplate, parent->m_hWnd);
    Attach(made.handle);
    OnInitDialog();
    return TRUE;
}
