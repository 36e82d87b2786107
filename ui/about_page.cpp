#include "ui/about_page.h"

#include "common/resource_strings.h"
#include "res/resource.h"
#include "ui/version_info.h"

void CAboutPage::DoDataExchange(CDataExchange* dx)
{
    CAcUiTabChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ABOUT_LINK, m_link);
}

BOOL CAboutPage::OnInitDialog()
{
    CAcUiTabChildDialog::OnInitDialog();
    GetDlgItem(IDC_ABOUT_TEXT)->SetWindowText(ResourceString(IDS_ABOUT_TEXT).c_str());
    m_link.SetWindowText(ResourceString(IDS_ABOUT_LINK_TEXT).c_str());
    m_link.SetURL(ResourceString(IDS_ABOUT_LINK_URL));
    m_link.AttachLink();
    // The file version of the module itself, not of the host that loaded it.
    if (m_module)
        GetDlgItem(IDC_ABOUT_VERSION)->SetWindowText(CVersionInfo(m_module).FileVersion().c_str());
    return TRUE;
}
