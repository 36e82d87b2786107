// Stand-in for afxdd_.h: dialog data exchange and validation. UpdateData
// runs DoDataExchange; with saveAndValidate the controls go into the fields
// and a failed check tells the user (with the framework's texts), puts the
// focus on the control and makes UpdateData return FALSE, so the dialog
// stays open.
#pragma once
#include <windows.h>

#include "afxstr.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    [[noreturn]] void Fail();
    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The group of radio buttons from `id` up to the next WS_GROUP control:
// the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxCharacters);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
