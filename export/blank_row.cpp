#include "export/blank_row.h"

#include "automation/excel_ops.h"
#include "automation/value_conversion.h"
#include "common/grid_limits.h"
#include "export/worksheet_writer.h"

namespace {

bool CellShowsText(IDispatch* cells, int row, int column)
{
    IDispatchPtr cell = automation::GetCellItem(cells, _variant_t(static_cast<long>(row)), _variant_t(static_cast<long>(column)));
    return !VariantToText(automation::GetText(cell)).empty();
}

} // namespace

int FindBlankRow(IDispatch* workbook)
{
    IDispatchPtr sheet = automation::GetActiveSheet(workbook);
    IDispatchPtr cells = automation::GetCells(sheet);
    for (int row = 1; row <= kLastScannedRow; ++row) {
        // Most rows in use show something in their first cell: one read
        // settles them.
        if (CellShowsText(cells, row, 1))
            continue;
        bool blank = true;
        for (int column = 1; column <= kLastScannedColumn && blank; ++column)
            blank = !CellShowsText(cells, row, column);
        if (blank)
            return row;
    }
    return kNoBlankRow;
}
