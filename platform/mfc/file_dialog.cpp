#include "afxdlgs.h"

#include "modal_state.h"

#include <cstdio>
#include <string>

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd*)
    : m_open(openFileDialog)
    , m_extension(defaultExtension)
    , m_fileName(fileName)
    , m_flags(flags)
    , m_filter(filter)
{
}

INT_PTR CFileDialog::DoModal()
{
    DialogDriver* driver = mfcwin::CurrentDialogDriver();
    if (!driver) {
        std::fprintf(stderr, "%s: no one to answer the file dialog; cancelled\n", m_open ? "Open" : "Save");
        return IDCANCEL;
    }
    FileForm form{m_open != FALSE, m_extension.GetString(), m_fileName.GetString(), m_filter.GetString(),
                  (m_flags & OFN_OVERWRITEPROMPT) != 0};
    const std::optional<std::string> chosen = driver->chooseFile(form);
    if (!chosen || chosen->empty())
        return IDCANCEL;
    std::string path = *chosen;
    // The dialog adds the default extension to a name typed without one.
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!m_extension.IsEmpty() && name.find('.') == std::string::npos)
        path += std::string(".") + m_extension.GetString();
    m_path = path.c_str();
    return IDOK;
}
