#include "afxwin.h"

#include "window_tree.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

using mfcwin::Kind;
using mfcwin::Window;

namespace {

// The framework's own texts for a failed exchange.
void Tell(const std::string& text) { AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION); }

Window& Control(CDataExchange* dx, int id)
{
    Window* control = mfcwin::Child(dx->m_pDlgWnd->m_hWnd, id);
    if (!control) {
        // As MFC's debug build asserts: a DDX line names a control the template lacks.
        Tell("Dialog data exchange: no control " + std::to_string(id) + " in the dialog.");
        dx->Fail();
    }
    return *control;
}

} // namespace

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate)
    , m_pDlgWnd(dialog)
{
}

HWND CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = FALSE;
    return Control(this, id).handle;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND handle = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return handle;
}

void CDataExchange::Fail()
{
    // The user goes back to the control whose value was refused.
    if (Window* dialog = mfcwin::Find(m_pDlgWnd->m_hWnd))
        if (Window* control = mfcwin::Child(dialog->handle, m_idLastControl))
            dialog->focus = control->handle;
    AfxThrowUserException();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND handle = dx->PrepareCtrl(id);
    control.Attach(handle);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    Window& box = *mfcwin::Find(dx->PrepareCtrl(id));
    if (dx->m_bSaveAndValidate)
        value = box.check;
    else
        box.check = (value == BST_CHECKED || value == BST_INDETERMINATE) ? value : BST_UNCHECKED;
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    Window& first = *mfcwin::Find(dx->PrepareCtrl(id));
    Window* dialog = mfcwin::Find(first.parent);
    // The group runs from the first button to the next control that starts a group.
    std::vector<Window*> group;
    bool inGroup = false;
    for (HWND child : dialog->children) {
        Window* control = mfcwin::Find(child);
        if (control == &first)
            inGroup = true;
        else if (inGroup && (control->style & WS_GROUP))
            break;
        if (inGroup && control->kind == Kind::Radio)
            group.push_back(control);
    }
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->check == BST_CHECKED)
                value = static_cast<int>(i);
    } else {
        for (std::size_t i = 0; i < group.size(); ++i)
            group[i]->check = static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED;
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    Window& box = *mfcwin::Find(dx->PrepareEditCtrl(id));
    if (dx->m_bSaveAndValidate)
        value = box.text.c_str();
    else
        box.text = value.GetString();
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    Window& box = *mfcwin::Find(dx->PrepareEditCtrl(id));
    if (!dx->m_bSaveAndValidate) {
        box.text = std::to_string(value);
        return;
    }
    // Blanks around the number are allowed; anything else is not a number.
    const char* text = box.text.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == text || !end || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        Tell("Enter an integer.");
        dx->Fail();
    }
    value = static_cast<int>(parsed);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxCharacters)
{
    if (!dx->m_bSaveAndValidate || value.GetLength() <= maxCharacters)
        return;
    Tell("Enter no more than " + std::to_string(maxCharacters) + " characters.");
    dx->Fail();
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue)
{
    if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue))
        return;
    Tell("Enter an integer between " + std::to_string(minValue) + " and " + std::to_string(maxValue) + ".");
    dx->Fail();
}

