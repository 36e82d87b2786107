#include "ui/options_dialog.h"

#include "common/resource_strings.h"
#include "res/resource.h"
#include "settings/settings_file.h"
#include "settings/settings_registry.h"

#include <afxdlgs.h>

#include <acdocman.h>

BEGIN_MESSAGE_MAP(COptionsDialog, CAcUiTabMainDialog)
ON_BN_CLICKED(IDC_OPTIONS_RESET, OnReset)
ON_BN_CLICKED(IDC_OPTIONS_FILE, OnFileButton)
END_MESSAGE_MAP()

COptionsDialog::COptionsDialog(CWnd* parent, const OptionsDialogHost& host)
    : CAcUiTabMainDialog(IDD_OPTIONS, parent)
    , m_host(host)
{
    m_aboutPage.SetModule(host.module);
}

BOOL COptionsDialog::OnHelpInfo(HELPINFO*)
{
    // F1 anywhere in the dialog shows the manual, as the Help keyword does;
    // the request counts as handled even without a help opener, so it goes
    // no further up to the host's own help.
    if (m_host.openHelp)
        m_host.openHelp();
    return TRUE;
}

void COptionsDialog::DoDataExchange(CDataExchange* dx)
{
    CAcUiTabMainDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPTIONS_TABS, m_tabs);
    DDX_Control(dx, IDC_OPTIONS_FILE, m_fileButton);
}

BOOL COptionsDialog::OnInitDialog()
{
    CAcUiTabMainDialog::OnInitDialog();
    SetWindowText(ResourceString(IDS_OPTIONS_TITLE).c_str());
    SetAcadTabPointer(&m_tabs);

    Settings settings;
    LoadSettings(settings);
    m_exportPage.FromSettings(settings);
    m_importPage.FromSettings(settings);

    AddTab(0, ResourceString(IDS_TAB_EXPORT).c_str(), IDD_EXPORT_PAGE, &m_exportPage);
    AddTab(1, ResourceString(IDS_TAB_IMPORT).c_str(), IDD_IMPORT_PAGE, &m_importPage);
    AddTab(2, ResourceString(IDS_TAB_ABOUT).c_str(), IDD_ABOUT_PAGE, &m_aboutPage);
    return TRUE;
}

void COptionsDialog::OnOK()
{
    // A refused value keeps the dialog open with the framework's message.
    if (!m_exportPage.UpdateData(TRUE) || !m_importPage.UpdateData(TRUE))
        return;
    if (m_exportPage.CoordinatesMixed() && m_tabs.GetCurSel() == 0) {
        const std::string text = ResourceString(IDS_COORDS_NOTICE);
        const std::string caption = ResourceString(IDS_COORDS_CAPTION);
        MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    }
    Settings settings;
    m_exportPage.ToSettings(settings);
    m_importPage.ToSettings(settings);
    // The user pressed OK to keep these options: when they could not be
    // stored, closing as if they were would lose them without a word.
    if (!SaveSettings(settings)) {
        const std::string text = ResourceString(IDS_OPTIONS_NOT_SAVED);
        const std::string caption = ResourceString(IDS_OPTIONS_TITLE);
        MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    EndDialog(IDOK);
}

void COptionsDialog::OnReset()
{
    const std::string question = ResourceString(IDS_RESET_QUESTION);
    const std::string caption = ResourceString(IDS_RESET_CAPTION);
    if (MessageBoxA(m_hWnd, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
        return;
    m_exportPage.ResetFields();
    m_importPage.FromSettings(Settings{});
    m_exportPage.UpdateData(FALSE);
    m_importPage.UpdateData(FALSE);
    m_exportPage.ApplyEnablingRule();
}

void COptionsDialog::OnFileButton()
{
    const UINT command = m_fileButton.TrackMenu(IDR_SETTINGS_FILE_MENU);
    if (command == ID_SETTINGS_LOAD)
        LoadFromFile();
    else if (command == ID_SETTINGS_SAVE)
        SaveToFile();
}

bool COptionsDialog::AskSettingsFile(BOOL open, std::string& path)
{
    const std::string extension = ResourceString(IDS_SETTINGS_FILE_EXT);
    const std::string name = ResourceString(IDS_SETTINGS_FILE_NAME);
    const std::string filter = ResourceString(IDS_SETTINGS_FILE_FILTER);
    CFileDialog dialog(open, extension.c_str(), name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       filter.c_str(), this);
    if (dialog.DoModal() != IDOK)
        return false;
    path = dialog.GetPathName().GetString();
    return true;
}

void COptionsDialog::LoadFromFile()
{
    std::string path;
    if (!AskSettingsFile(TRUE, path))
        return;
    // Keys the file lacks keep what the pages hold.
    Settings settings;
    m_exportPage.ToSettings(settings);
    m_importPage.ToSettings(settings);
    LoadSettingsFile(path.c_str(), settings);
    m_exportPage.FromSettings(settings);
    m_importPage.FromSettings(settings);
    m_exportPage.UpdateData(FALSE);
    m_importPage.UpdateData(FALSE);
    m_exportPage.ApplyEnablingRule();
}

void COptionsDialog::SaveToFile()
{
    // A value the pages refuse is not written anywhere: the user has been
    // told, and the file would otherwise hold what OK would not accept.
    if (!m_exportPage.UpdateData(TRUE) || !m_importPage.UpdateData(TRUE))
        return;
    std::string path;
    if (!AskSettingsFile(FALSE, path))
        return;
    Settings settings;
    m_exportPage.ToSettings(settings);
    m_importPage.ToSettings(settings);
    if (!SaveSettingsFile(path.c_str(), settings)) {
        const std::string text = FormatResource(IDS_SETTINGS_FILE_NOT_SAVED, {path});
        const std::string caption = ResourceString(IDS_OPTIONS_TITLE);
        MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    }
}

bool RunOptionsDialog(const OptionsDialogHost& host)
{
    ResourceSourceScope resources;
    COptionsDialog dialog(CWnd::FromHandle(adsw_acadMainWnd()), host);
    return dialog.DoModal() == IDOK;
}
