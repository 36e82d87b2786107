// What the sink does with a SheetChange: queue the changed cell with the
// names of its worksheet and workbook.
#include "common/resource_strings.h"
#include "automation/com_error_report.h"
#include "automation/excel_ops.h"
#include "livelink/app_event_handler.h"
#include "common/module_state.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// Rows and columns of a block as the program reports them.
struct Block {
    long top, left, bottom, right;
};
Block BlockOf(IDispatch* range)
{
    const long top = automation::GetRow(range);
    const long left = automation::GetColumn(range);
    return {top, left, top + automation::GetCount(automation::GetRows(range)) - 1,
            left + automation::GetCount(automation::GetColumns(range)) - 1};
}

// One change per cell of `range`. Raises _com_error when `range` is not a
// range of a worksheet in a workbook.
std::vector<CellChange> DescribeChanges(IDispatch* range)
{
    if (!range)
        _com_issue_error(E_POINTER);
    CellChange change;
    change.column = automation::GetColumn(range);
    change.row = automation::GetRow(range);
    // A missing interface leaves an empty pointer, whose use raises.
    Excel::_WorksheetPtr sheet(automation::GetWorksheet(range));
    Excel::_WorkbookPtr book(automation::GetParent(sheet));
    change.workbook = automation::GetName(book);
    change.worksheet = automation::GetName(sheet);

    Block block = BlockOf(range);
    if (block.bottom == block.top && block.right == block.left)
        return {change};
    // A paste, fill or clear over several cells: every cell of it may be a
    // user's edit. Only cells inside the used range can be in an exported
    // row and column, so a change of whole columns or rows is clipped to it.
    const Block used = BlockOf(automation::GetUsedRange(sheet));
    block = {std::max(block.top, used.top), std::max(block.left, used.left), std::min(block.bottom, used.bottom),
             std::min(block.right, used.right)};
    std::vector<CellChange> changes;
    for (long row = block.top; row <= block.bottom; ++row) {
        for (long column = block.left; column <= block.right; ++column) {
            change.row = row;
            change.column = column;
            changes.push_back(change);
        }
    }
    return changes;
}

void Queue(std::vector<CellChange> changes)
{
    for (CellChange& change : changes)
        TheModuleState().changeQueue.Append(std::move(change));
}

} // namespace

void AppEventHandler::OnSheetChange(IDispatch* first, IDispatch* second)
{
    ResourceSourceScope resources;
    // The program's argument order is not relied on: either may be the range.
    try {
        Queue(DescribeChanges(first));
        return;
    } catch (const _com_error&) {
    }
    try {
        Queue(DescribeChanges(second));
    } catch (const _com_error& error) {
        MessageBoxA(nullptr, ComErrorMeaning(error.Error()).c_str(), ResourceString(IDS_SINK_ERROR_CAPTION).c_str(),
                    MB_OK);
    }
}
