// The import page of the options dialog.
#pragma once
#include "settings/settings.h"
#include "ui/st_num_spin_ctrl.h"

#include <acui.h>

class CImportPage : public CAcUiTabChildDialog {
public:
    CImportPage() = default;
    void FromSettings(const Settings& settings);
    void ToSettings(Settings& settings) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    int m_sheets = 0;
    int m_ignoreProps = BST_CHECKED;
    int m_startCol = 1;
    int m_startRow = 2;
    CStNumSpinCtrl m_startColSpin;
    CStNumSpinCtrl m_startRowSpin;
};
