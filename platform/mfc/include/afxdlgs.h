// Stand-in for afxdlgs.h: the framework's common file dialog. There is no
// screen: DoModal asks the dialog driver for a path (gwhost's user types it;
// a test answers from its script). A name typed without an extension gets
// the default one, as the real dialog adds it.
#pragma once
#include "afxwin.h"

#include <commdlg.h>

class CFileDialog {
public:
    // `filter` in the framework's form: "Text (*.ini)|*.ini|All (*.*)|*.*||".
    CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension = nullptr, LPCSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                CWnd* parent = nullptr);
    INT_PTR DoModal(); // IDOK with a path, IDCANCEL
    CString GetPathName() const { return m_path; }

private:
    BOOL m_open;
    CString m_extension;
    CString m_fileName;
    DWORD m_flags;
    CString m_filter;
    CString m_path;
};
