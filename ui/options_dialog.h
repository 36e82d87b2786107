// The options dialog: the export and import options on two tab pages, read
// from the registry when it opens and written back only on OK.
#pragma once
#include "ui/about_page.h"
#include "ui/export_page.h"
#include "ui/import_page.h"
#include "ui/menu_button.h"

#include <acui.h>
#include <adui.h>

#include <string>

// What the dialog needs of the module that shows it, handed down by the
// command: the module whose version the About page shows, and the Help
// keyword's work, which F1 runs too.
struct OptionsDialogHost {
    HMODULE module = nullptr;
    void (*openHelp)() = nullptr;
};

class COptionsDialog : public CAcUiTabMainDialog {
public:
    explicit COptionsDialog(CWnd* parent = nullptr, const OptionsDialogHost& host = {});

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    void OnReset();
    void OnFileButton();
    DECLARE_MESSAGE_MAP()

private:
    // The settings file's path from the Open (open) or Save file dialog;
    // false when the user cancels.
    bool AskSettingsFile(BOOL open, std::string& path);
    void LoadFromFile();
    void SaveToFile();

    OptionsDialogHost m_host;
    CAdUiTab m_tabs;
    CMenuButton m_fileButton;
    CExportPage m_exportPage;
    CImportPage m_importPage;
    CAboutPage m_aboutPage;
};

// The Options keyword: runs the dialog; true when it was confirmed.
bool RunOptionsDialog(const OptionsDialogHost& host = {});
