#include "workbook_summary.h"

#include "sessions.h"

#include <excel_context.h>
#include <sheet_model.h>

#include <unordered_set>

namespace gridwell {

namespace {

WorkbookCounts CountsOf(const excelsim::Workbook& book)
{
    WorkbookCounts counts;
    counts.sheets = book.sheets.size();
    for (const auto& sheet : book.sheets) {
        std::unordered_set<int> rows;
        for (const auto& [position, cell] : sheet->SortedCells()) {
            rows.insert(position.first);
            ++counts.cells;
            // Header rows are bold; a value row's first cell holds the handle.
            if (position.second == 1 && cell->Comment() && !cell->Bold() && !sheet->RowBold(position.first))
                ++counts.references;
        }
        counts.rows += rows.size();
    }
    return counts;
}

} // namespace

bool TheWorkbook(FoundWorkbook& found)
{
    excelsim::ExcelContext* excel = SpreadsheetContext();
    if (!excel)
        return false;
    int books = 0;
    for (const auto& app : excel->Instances()) {
        app->With([&](excelsim::AppData& data) {
            for (const auto& book : data.workbooks) {
                ++books;
                found.app = app;
                found.name = book->name;
                found.counts = CountsOf(*book);
            }
        });
    }
    return books == 1;
}

} // namespace gridwell
