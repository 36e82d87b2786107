// The options dialog: the export and import options on two tab pages, read
// from the registry when it opens and written back only on OK.
#pragma once
#include "ui/about_page.h"
#include "ui/export_page.h"
#include "ui/import_page.h"
#include "ui/menu_button.h"

#include <acui.h>
#include <adui.h>

class COptionsDialog : public CAcUiTabMainDialog {
public:
    explicit COptionsDialog(CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnReset();
    void OnFileButton();
    DECLARE_MESSAGE_MAP()

private:
    void LoadFromFile();
    void SaveToFile();

    CAdUiTab m_tabs;
    CMenuButton m_fileButton;
    CExportPage m_exportPage;
    CImportPage m_importPage;
    CAboutPage m_aboutPage;
};

// The Options keyword: runs the dialog; true when it was confirmed.
bool RunOptionsDialog();
