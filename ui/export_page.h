// The export page of the options dialog: the export options as the dialog's
// working copy, exchanged with the page's controls.
#pragma once
#include "settings/settings.h"
#include "ui/st_num_spin_ctrl.h"

#include <acui.h>

class CExportPage : public CAcUiTabChildDialog {
public:
    CExportPage() = default;

    void FromSettings(const Settings& settings);
    void ToSettings(Settings& settings) const;
    // Reset: the defaults, except the two boxes a reset leaves as they are.
    void ResetFields();
    // The rule that enables the rows controls by the worksheet choice.
    void ApplyEnablingRule();
    // Whether X, Y and Z are neither all on nor all off.
    bool CoordinatesMixed() const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnWorksheetOrBlankRowClicked();
    DECLARE_MESSAGE_MAP()

private:
    void Enable(bool activeSheet, bool nextBlankRow);

    int m_workbook = 0;
    int m_worksheet = 0;
    int m_startRow = 1;
    static constexpr int kFlagCount = 19;
    int m_flags[kFlagCount] = {};
    CStNumSpinCtrl m_startRowSpin;
};
