// The block choice of the dialog export: lists the block definitions with
// attribute definitions, preselected; its context menu selects, switches to
// all blocks and back, and opens the filter dialog.
#pragma once
#include "export/block_name_table.h"
#include "ui/name_filter_dialog.h"

#include <acui.h>
#include <afxcmn.h>

#include <string>
#include <vector>

class CBlockNameDialog : public CAcUiDialog {
public:
    explicit CBlockNameDialog(CWnd* parent = nullptr);

    // The table to offer; the caller keeps it alive while the dialog runs.
    void SetBlockNameTable(const BlockNameTable* table) { m_table = table; }
    // After OK: the selected names, top to bottom.
    const std::vector<std::string>& Result() const { return m_result; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* message) override;
    void OnOK() override;
    void OnListRightClick(NMHDR* header, LRESULT* result);
    void OnSelectAll();
    void OnSelectNone();
    void OnInvertSelection();
    void OnSelectAllButFocused();
    void OnAllBlocks();
    void OnBlocksWithAttributes();
    void OnFilter();

    DECLARE_MESSAGE_MAP()

private:
    void SetSelection(int item, bool selected);

    const BlockNameTable* m_table = nullptr;
    bool m_allBlocks = false;
    std::vector<std::string> m_result;
    CNameFilterDialog m_filter;
    CListCtrl m_list;
    CToolTipCtrl m_toolTip;
};
