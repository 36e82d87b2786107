#include "ui/block_name_dialog.h"

#include "common/module_state.h"
#include "res/resource.h"
#include "ui/match_wildcard.h"

#include <unordered_set>

BEGIN_MESSAGE_MAP(CBlockNameDialog, CAcUiDialog)
ON_NOTIFY(NM_RCLICK, IDC_NAME_LIST, OnListRightClick)
ON_COMMAND(ID_BLOCKS_SELECT_ALL, OnSelectAll)
ON_COMMAND(ID_BLOCKS_SELECT_NONE, OnSelectNone)
ON_COMMAND(ID_BLOCKS_INVERT, OnInvertSelection)
ON_COMMAND(ID_BLOCKS_ALL_BUT_FOCUSED, OnSelectAllButFocused)
ON_COMMAND(ID_BLOCKS_ALL_BLOCKS, OnAllBlocks)
ON_COMMAND(ID_BLOCKS_WITH_ATTRIBUTES, OnBlocksWithAttributes)
ON_COMMAND(ID_BLOCKS_FILTER, OnFilter)
END_MESSAGE_MAP()

CBlockNameDialog::CBlockNameDialog(CWnd* parent)
    : CAcUiDialog(IDD_BLOCK_NAMES, parent)
    , m_filter(this)
{
}

void CBlockNameDialog::DoDataExchange(CDataExchange* dx)
{
    CAcUiDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NAME_LIST, m_list);
}

BOOL CBlockNameDialog::OnInitDialog()
{
    CAcUiDialog::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    CRect client;
    m_list.GetClientRect(client);
    m_list.InsertColumn(0, "Block name", LVCFMT_LEFT, client.Width());
    if (m_table)
        for (const BlockNameTable::Entry& entry : m_table->entries())
            if (entry.hasAttributes)
                SetSelection(m_list.InsertItem(m_list.GetItemCount(), entry.name.c_str()), true);

    m_toolTip.Create(this);
    m_toolTip.Activate(TRUE);
    m_toolTip.AddTool(&m_list, "Press right mouse button for more options.");

    m_list.SetFocus();
    m_filter.SetSelectionOnly(TheModuleState().selectedReferences.length() > 0);
    // The focus was placed here.
    return FALSE;
}

BOOL CBlockNameDialog::PreTranslateMessage(MSG* message)
{
    m_toolTip.RelayEvent(message);
    return CAcUiDialog::PreTranslateMessage(message);
}

void CBlockNameDialog::SetSelection(int item, bool selected)
{
    m_list.SetItemState(item, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void CBlockNameDialog::OnListRightClick(NMHDR*, LRESULT* result)
{
    *result = 0;
    CMenu menu;
    if (!menu.LoadMenu(IDR_BLOCK_LIST_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    popup->CheckMenuItem(ID_BLOCKS_ALL_BLOCKS, MF_BYCOMMAND | (m_allBlocks ? MF_CHECKED : MF_UNCHECKED));
    popup->CheckMenuItem(ID_BLOCKS_WITH_ATTRIBUTES, MF_BYCOMMAND | (m_allBlocks ? MF_UNCHECKED : MF_CHECKED));
    popup->CheckMenuItem(ID_BLOCKS_FILTER, MF_BYCOMMAND | (m_filter.AnyFilterOn() ? MF_CHECKED : MF_UNCHECKED));
    CPoint cursor;
    GetCursorPos(&cursor);
    // The chosen command comes back as WM_COMMAND through the message map.
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

void CBlockNameDialog::OnSelectAll()
{
    SetSelection(-1, true);
    m_list.SetFocus();
}

void CBlockNameDialog::OnSelectNone() { SetSelection(-1, false); }

void CBlockNameDialog::OnInvertSelection()
{
    for (int item = 0; item < m_list.GetItemCount(); ++item)
        SetSelection(item, m_list.GetItemState(item, LVIS_SELECTED) == 0);
}

void CBlockNameDialog::OnSelectAllButFocused()
{
    for (int item = 0; item < m_list.GetItemCount(); ++item)
        SetSelection(item, m_list.GetItemState(item, LVIS_FOCUSED) == 0);
}

void CBlockNameDialog::OnAllBlocks()
{
    if (m_allBlocks || !m_table)
        return;
    // One pass over the list, then one over the table: a drawing with many
    // block definitions is not searched once per name.
    std::unordered_set<std::string> listed;
    for (int item = 0; item < m_list.GetItemCount(); ++item)
        listed.insert(m_list.GetItemText(item, 0).GetString());
    for (const BlockNameTable::Entry& entry : m_table->entries())
        if (!listed.count(entry.name))
            m_list.InsertItem(m_list.GetItemCount(), entry.name.c_str());
    m_allBlocks = true;
}

void CBlockNameDialog::OnBlocksWithAttributes()
{
    if (!m_allBlocks)
        return;
    for (int item = m_list.GetItemCount() - 1; item >= 0; --item) {
        const BlockNameTable::Entry* entry = m_table ? m_table->find(m_list.GetItemText(item, 0).GetString()) : nullptr;
        if (!entry || !entry->hasAttributes)
            m_list.DeleteItem(item);
    }
    m_allBlocks = false;
}

void CBlockNameDialog::OnFilter()
{
    if (m_filter.DoModal() != IDOK)
        return;
    if (m_filter.PatternFilterOn() && m_table) {
        const std::string pattern = m_filter.Pattern();
        m_list.DeleteAllItems();
        for (const BlockNameTable::Entry& entry : m_table->entries())
            if ((m_allBlocks || entry.hasAttributes) && MatchWildcard(pattern.c_str(), entry.name.c_str()))
                m_list.InsertItem(m_list.GetItemCount(), entry.name.c_str());
    }
    OnSelectAll();
}

void CBlockNameDialog::OnOK()
{
    m_result.clear();
    for (POSITION position = m_list.GetFirstSelectedItemPosition(); position;)
        m_result.push_back(m_list.GetItemText(m_list.GetNextSelectedItem(position), 0).GetString());
    // The user unticked "Only the selected references" in the filter: the
    // export takes every reference of the chosen blocks.
    if (!m_filter.SelectionOnly())
        TheModuleState().selectedReferences.removeAll();
    EndDialog(IDOK);
}
