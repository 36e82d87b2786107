// Factories of the spreadsheet stand-in's automation objects. Each returns a
// new object holding one reference for the caller.
#pragma once
#include "excel_app.h"
#include "ocidl.h"

#include <memory>

namespace excelsim {

// A block of cells; whole rows and whole columns remember that they are,
// since AutoFit and Font.Bold treat them differently.
enum class RangeShape { Cells, EntireRows, EntireColumns };
// What Count counts: a range's Rows and Columns are the same cells counted
// by rows or by columns.
enum class CountBy { Cells, Rows, Columns };
struct CellRect {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
    RangeShape shape = RangeShape::Cells;
    CountBy countBy = CountBy::Cells;

    long long CellCount() const
    {
        return static_cast<long long>(bottom - top + 1) * static_cast<long long>(right - left + 1);
    }
};

struct SheetRef {
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Sheet> sheet;
};

IDispatch* NewApplicationObject(std::shared_ptr<ExcelApp> app);
IDispatch* NewWorkbooksObject(std::shared_ptr<ExcelApp> app);
IDispatch* NewWorkbookObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book);
IDispatch* NewWorksheetsObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book);
IDispatch* NewWorksheetObject(std::shared_ptr<ExcelApp> app, SheetRef ref);
IDispatch* NewRangeObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect);
IDispatch* NewFontObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect);
IDispatch* NewCommentObject(std::shared_ptr<ExcelApp> app, SheetRef ref, int row, int column);

// Calls SheetChange(Sh, Target) on every advised sink; no lock is held.
void FireSheetChange(const std::shared_ptr<ExcelApp>& app, const SheetRef& ref, const CellRect& rect);
// The application's connection point for AppEvents.
IConnectionPoint* NewAppEventsConnectionPoint(std::shared_ptr<ExcelApp> app, IConnectionPointContainer* container);

// "B3" or "$B$3" to row and column; false when it is no cell of the grid.
bool ParseCellAddress(const std::u16string& address, int& row, int& column);
// The largest block a single call may fill cell by cell.
inline constexpr long long kMaxCellsPerCall = 1 << 20;

} // namespace excelsim
