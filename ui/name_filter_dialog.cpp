#include "ui/name_filter_dialog.h"

#include "common/module_state.h"
#include "res/resource.h"

#include <dbapserv.h>
#include <dbobjptr.h>
#include <dbsymtb.h>

#include <memory>

namespace {

const char* const kPatternTip = "Examples of using: *, a*, *a, a?b?c\r"
                                "  * - it stands for many characters\r"
                                "  ? - it stands for a one character\r"
                                "  Case sensitive!";

} // namespace

BEGIN_MESSAGE_MAP(CNameFilterDialog, CAcUiDialog)
ON_BN_CLICKED(IDC_LAYER_FILTER, OnFilterBoxClicked)
ON_BN_CLICKED(IDC_PATTERN_FILTER, OnFilterBoxClicked)
END_MESSAGE_MAP()

CNameFilterDialog::CNameFilterDialog(CWnd* parent)
    : CAcUiDialog(IDD_NAME_FILTER, parent)
{
}

void CNameFilterDialog::DoDataExchange(CDataExchange* dx)
{
    CAcUiDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NAME_LIST, m_layerList);
    DDX_Control(dx, IDC_PATTERN, m_patternEdit);
    DDX_Check(dx, IDC_LAYER_FILTER, m_layerFilter);
    DDX_Check(dx, IDC_PATTERN_FILTER, m_patternFilter);
    DDX_Check(dx, IDC_SELECTION_ONLY, m_selectionOnly);
}

BOOL CNameFilterDialog::OnInitDialog()
{
    m_openedWith[0] = m_layerFilter;
    m_openedWith[1] = m_patternFilter;
    m_openedWith[2] = m_selectionOnly;
    CAcUiDialog::OnInitDialog();
    if (!m_selectionOnly)
        GetDlgItem(IDC_SELECTION_ONLY)->ShowWindow(SW_HIDE);
    EnableByBoxes();

    m_patternEdit.SetLimitText(kPatternLimit);
    m_patternEdit.SetWindowText(m_pattern);

    m_toolTip.Create(this);
    m_toolTip.Activate(TRUE);
    m_toolTip.SetMaxTipWidth(200);
    m_toolTip.AddTool(&m_patternEdit, kPatternTip);
    m_toolTip.AddTool(GetDlgItem(IDC_PATTERN_FILTER), kPatternTip);

    m_layerList.SetExtendedStyle(m_layerList.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    CRect client;
    m_layerList.GetClientRect(client);
    m_layerList.InsertColumn(0, "Layer name", LVCFMT_LEFT, client.Width());
    FillLayerList();
    if (m_openedBefore)
        for (int index : m_keptLayers)
            m_layerList.SetItemState(index, LVIS_SELECTED, LVIS_SELECTED);
    m_openedBefore = true;
    return TRUE;
}

void CNameFilterDialog::FillLayerList()
{
    // An unreadable table leaves the list empty; the dialog still works.
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    if (!database)
        return;
    AcDbLayerTable* opened = nullptr;
    if (database->getLayerTable(opened, AcDb::kForRead) != Acad::eOk)
        return;
    AcDbObjectPointer<AcDbLayerTable> table;
    table.acquire(opened);
    AcDbLayerTableIterator* rawIterator = nullptr;
    if (table->newIterator(rawIterator, true, true) != Acad::eOk)
        return;
    std::unique_ptr<AcDbLayerTableIterator> iterator(rawIterator);
    for (; !iterator->done(); iterator->step(true, true)) {
        AcDbLayerTableRecord* rawRecord = nullptr;
        if (iterator->getRecord(rawRecord, AcDb::kForRead, false) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbLayerTableRecord> record;
        record.acquire(rawRecord);
        const char* name = nullptr;
        if (record->getName(name) == Acad::eOk && name)
            m_layerList.InsertItem(m_layerList.GetItemCount(), name);
    }
}

void CNameFilterDialog::EnableByBoxes()
{
    m_layerList.EnableWindow(m_layerFilter ? TRUE : FALSE);
    m_patternEdit.EnableWindow(m_patternFilter ? TRUE : FALSE);
}

BOOL CNameFilterDialog::PreTranslateMessage(MSG* message)
{
    m_toolTip.RelayEvent(message);
    return CAcUiDialog::PreTranslateMessage(message);
}

void CNameFilterDialog::OnFilterBoxClicked()
{
    UpdateData(TRUE);
    EnableByBoxes();
}

void CNameFilterDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    LayerFilterSettings& filter = TheModuleState().layerFilter;
    m_keptLayers.clear();
    filter.layers.clear();
    for (int item = m_layerList.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_layerList.GetNextItem(item, LVNI_SELECTED)) {
        m_keptLayers.push_back(item);
        filter.layers.push_back(m_layerList.GetItemText(item, 0).GetString());
    }
    m_patternEdit.GetWindowText(m_pattern);
    filter.on = m_layerFilter != FALSE;
    EndDialog(IDOK);
}

void CNameFilterDialog::OnCancel()
{
    m_layerFilter = m_openedWith[0];
    m_patternFilter = m_openedWith[1];
    m_selectionOnly = m_openedWith[2];
    CAcUiDialog::OnCancel();
}
