#include "ui/about_page.h"

#include "common/resource_strings.h"
#include "res/resource.h"

BOOL CAboutPage::OnInitDialog()
{
    CAcUiTabChildDialog::OnInitDialog();
    GetDlgItem(IDC_ABOUT_TEXT)->SetWindowText(ResourceString(IDS_ABOUT_TEXT).c_str());
    // The link's text; opening it and the version line come with the shell
    // and version-resource calls of the platform.
    GetDlgItem(IDC_ABOUT_LINK)->SetWindowText(ResourceString(IDS_ABOUT_LINK_TEXT).c_str());
    return TRUE;
}
