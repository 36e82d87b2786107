#include "ui/export_page.h"

#include "res/resource.h"

namespace {

// The check boxes of the page and the option each shows.
struct Flag {
    int control;
    bool Settings::*option;
};

constexpr Flag kFlags[] = {
    {IDC_EXPORT_X, &Settings::XCoord},
    {IDC_EXPORT_Y, &Settings::YCoord},
    {IDC_EXPORT_Z, &Settings::ZCoord},
    {IDC_EXPORT_SCALE, &Settings::Scale},
    {IDC_EXPORT_ROTATION, &Settings::Rotation},
    {IDC_EXPORT_LAYER, &Settings::LayerNames},
    {IDC_EXPORT_ADD_HEADER, &Settings::AddHeader},
    {IDC_EXPORT_BLOCK_NAMES, &Settings::BlockNames},
    {IDC_EXPORT_LAYOUT, &Settings::LayoutNames},
    {IDC_EXPORT_JTSK, &Settings::JTSK},
    {IDC_EXPORT_NEXT_BLANK, &Settings::FindNextBlankLine},
    {IDC_EXPORT_AUTO_CONNECT, &Settings::AutoConnect},
    {IDC_EXPORT_CONSTANT, &Settings::IncludeConstant},
    {IDC_EXPORT_SORT, &Settings::Sort},
    {IDC_EXPORT_ODD_LINE, &Settings::OddLine},
    {IDC_EXPORT_NO_AUTOFIT, &Settings::NoAutofit},
    {IDC_EXPORT_AS_TEXT, &Settings::AsText},
    {IDC_EXPORT_PROMPTS, &Settings::ExportAttPrompts},
    {IDC_EXPORT_SELECTION, &Settings::Selection},
};

constexpr int IndexOf(bool Settings::*option)
{
    for (int i = 0; i < static_cast<int>(std::size(kFlags)); ++i)
        if (kFlags[i].option == option)
            return i;
    return -1;
}

} // namespace

BEGIN_MESSAGE_MAP(CExportPage, CAcUiTabChildDialog)
ON_BN_CLICKED(IDC_EXPORT_NEW_SHEETS, OnWorksheetOrBlankRowClicked)
ON_BN_CLICKED(IDC_EXPORT_ACTIVE_SHEET, OnWorksheetOrBlankRowClicked)
ON_BN_CLICKED(IDC_EXPORT_NEXT_BLANK, OnWorksheetOrBlankRowClicked)
END_MESSAGE_MAP()

void CExportPage::FromSettings(const Settings& settings)
{
    static_assert(std::size(kFlags) == kFlagCount);
    m_workbook = settings.WorkbookSettings;
    m_worksheet = settings.WorksheetSettings;
    m_startRow = settings.ExportStartRow;
    for (int i = 0; i < kFlagCount; ++i)
        m_flags[i] = (settings.*kFlags[i].option) ? BST_CHECKED : BST_UNCHECKED;
}

void CExportPage::ToSettings(Settings& settings) const
{
    settings.WorkbookSettings = m_workbook;
    settings.WorksheetSettings = m_worksheet;
    settings.ExportStartRow = m_startRow;
    for (int i = 0; i < kFlagCount; ++i)
        settings.*kFlags[i].option = m_flags[i] != 0;
}

void CExportPage::ResetFields()
{
    const int constant = m_flags[IndexOf(&Settings::IncludeConstant)];
    const int prompts = m_flags[IndexOf(&Settings::ExportAttPrompts)];
    FromSettings(Settings{});
    m_flags[IndexOf(&Settings::IncludeConstant)] = constant;
    m_flags[IndexOf(&Settings::ExportAttPrompts)] = prompts;
}

bool CExportPage::CoordinatesMixed() const
{
    const bool x = m_flags[IndexOf(&Settings::XCoord)] != 0;
    const bool y = m_flags[IndexOf(&Settings::YCoord)] != 0;
    const bool z = m_flags[IndexOf(&Settings::ZCoord)] != 0;
    return !(x == y && y == z);
}

void CExportPage::DoDataExchange(CDataExchange* dx)
{
    CAcUiTabChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EXPORT_START_ROW_SPIN, m_startRowSpin);
    DDX_Radio(dx, IDC_EXPORT_NEW_WORKBOOK, m_workbook);
    DDX_Radio(dx, IDC_EXPORT_NEW_SHEETS, m_worksheet);
    DDX_Text(dx, IDC_EXPORT_START_ROW, m_startRow);
    DDV_MinMaxInt(dx, m_startRow, 1, 65536);
    for (int i = 0; i < kFlagCount; ++i)
        DDX_Check(dx, kFlags[i].control, m_flags[i]);
}

BOOL CExportPage::OnInitDialog()
{
    CAcUiTabChildDialog::OnInitDialog();
    m_startRowSpin.SetBase(10);
    m_startRowSpin.SetDelta(1.0);
    m_startRowSpin.SetRange(1.0, 65536.0);
    ApplyEnablingRule();
    return TRUE;
}

void CExportPage::ApplyEnablingRule()
{
    Enable(m_worksheet == 1, m_flags[IndexOf(&Settings::FindNextBlankLine)] != 0);
}

void CExportPage::Enable(bool activeSheet, bool nextBlankRow)
{
    GetDlgItem(IDC_EXPORT_ADD_HEADER)->EnableWindow(activeSheet);
    GetDlgItem(IDC_EXPORT_NEXT_BLANK)->EnableWindow(activeSheet);
    GetDlgItem(IDC_EXPORT_START_ROW)->EnableWindow(activeSheet && !nextBlankRow);
    m_startRowSpin.EnableWindow(activeSheet && !nextBlankRow);
}

void CExportPage::OnWorksheetOrBlankRowClicked()
{
    // The boxes as the click left them; the fields follow only on OK.
    auto checked = [this](int id) { return IsDlgButtonChecked(id) == BST_CHECKED; };
    Enable(checked(IDC_EXPORT_ACTIVE_SHEET), checked(IDC_EXPORT_NEXT_BLANK));
}
