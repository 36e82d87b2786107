// What the sink does with a SheetChange: queue the changed cell with the
// names of its worksheet and workbook.
#include "app/resource_strings.h"
#include "automation/com_error_report.h"
#include "automation/excel_ops.h"
#include "livelink/app_event_handler.h"
#include "livelink/change_queue.h"
#include "res/resource.h"

#include <windows.h>

namespace {

// Raises _com_error when `range` is not a range of a worksheet in a workbook.
CellChange DescribeChange(IDispatch* range)
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
    return change;
}

} // namespace

void AppEventHandler::OnSheetChange(IDispatch* first, IDispatch* second)
{
    ResourceSourceScope resources;
    // The program's argument order is not relied on: either may be the range.
    try {
        TheChangeQueue().Append(DescribeChange(first));
        return;
    } catch (const _com_error&) {
    }
    try {
        TheChangeQueue().Append(DescribeChange(second));
    } catch (const _com_error& error) {
        MessageBoxA(nullptr, ComErrorMeaning(error.Error()).c_str(), ResourceString(IDS_SINK_ERROR_CAPTION).c_str(),
                    MB_OK);
    }
}
