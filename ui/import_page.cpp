#include "ui/import_page.h"

#include "res/resource.h"

void CImportPage::FromSettings(const Settings& settings)
{
    m_sheets = settings.ImportSettings;
    m_ignoreProps = settings.IgnoreProps ? BST_CHECKED : BST_UNCHECKED;
    m_startCol = settings.StartCol;
    m_startRow = settings.ImportStartRow;
}

void CImportPage::ToSettings(Settings& settings) const
{
    settings.ImportSettings = m_sheets;
    settings.IgnoreProps = m_ignoreProps != 0;
    settings.StartCol = m_startCol;
    settings.ImportStartRow = m_startRow;
}

void CImportPage::DoDataExchange(CDataExchange* dx)
{
    CAcUiTabChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_IMPORT_START_COL_SPIN, m_startColSpin);
    DDX_Control(dx, IDC_IMPORT_START_ROW_SPIN, m_startRowSpin);
    DDX_Radio(dx, IDC_IMPORT_SHEET, m_sheets);
    DDX_Check(dx, IDC_IMPORT_IGNORE_PROPS, m_ignoreProps);
    DDX_Text(dx, IDC_IMPORT_START_COL, m_startCol);
    DDV_MinMaxInt(dx, m_startCol, 1, 256);
    DDX_Text(dx, IDC_IMPORT_START_ROW, m_startRow);
    DDV_MinMaxInt(dx, m_startRow, 1, 65536);
}

BOOL CImportPage::OnInitDialog()
{
    CAcUiTabChildDialog::OnInitDialog();
    m_startRowSpin.SetBase(10);
    m_startRowSpin.SetDelta(1.0);
    m_startRowSpin.SetRange(1.0, 65536.0);
    m_startColSpin.SetBase(10);
    m_startColSpin.SetDelta(1.0);
    m_startColSpin.SetRange(1.0, 256.0);
    return TRUE;
}
