#include "import/worksheet_import.h"

#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"
#include "common/command_line.h"
#include "common/grid_limits.h"
#include "import/property_markers.h"
#include "import/row_import.h"

#include <adslib.h>

#include <comdef.h>

#include <string>
#include <utility>

namespace {

// The header row stays in row 1 and the handle in column 1 whatever the
// options say; the scan stops short of the last row and column of the grid.
constexpr long kHeaderRow = 1;
constexpr long kHandleColumn = 1;
// More rows than this without a handle comment end a worksheet.
constexpr int kRowsWithoutHandleAllowed = 20;

IDispatchPtr CellAt(IDispatch* cells, long row, long column)
{
    return automation::GetCellItem(cells, _variant_t(row), _variant_t(column));
}

// The text of the cell's comment; false when the cell has none.
bool CommentOf(IDispatch* cell, std::string& text)
{
    IDispatchPtr comment = automation::GetComment(cell);
    if (!comment)
        return false;
    text = automation::GetCommentText(comment);
    return true;
}

// An attribute cell's value as text, by the system's coercion without flags.
// Error values (#N/A and its kin) have no text: false leaves the attribute alone.
bool AttributeText(const VARIANT& value, std::string& text)
{
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, &value, 0, VT_BSTR)))
        return false;
    text = BstrToAnsi(converted.bstrVal, SysStringLen(converted.bstrVal));
    return true;
}

// One data row: every column from the start column until the second empty
// header cell, each header read again for this row.
void ReadRow(IDispatch* cells, const ImportOptions& options, const PropertyMarkers& markers, const std::string& sheet,
             RowImport& record, ImportReport& report)
{
    for (long column = options.StartCol; column <= kLastScannedColumn; ++column) {
        const _variant_t value = automation::GetValue(CellAt(cells, record.row, column));
        IDispatchPtr header = CellAt(cells, kHeaderRow, column);
        std::string marker;
        const bool isPropertyColumn = CommentOf(header, marker);
        const std::string tag = VariantToText(automation::GetText(header));
        if (tag.empty() && ++record.emptyHeaders >= 2)
            break;
        if (isPropertyColumn) {
            const PropertyColumn property = markers.Classify(marker);
            if (property == PropertyColumn::Layer)
                record.TakeLayer(column, VariantToText(value)); // an error value ends the run
            else
                record.TakeNumber(property, column, value);
        } else if (!tag.empty()) {
            // An error value, or a formula whose result was never saved, has
            // no text: the attribute keeps its own.
            std::string text;
            if (AttributeText(value, text))
                record.TakeAttribute(tag, std::move(text));
            else
                report.CellUnreadable(sheet, record.row, column);
        }
    }
}

} // namespace

void ImportWorksheet(IDispatch* worksheet, const ImportOptions& options, ImportReport& report)
{
    const PropertyMarkers markers = PropertyMarkers::FromResources();
    const std::string sheet = automation::GetName(worksheet);
    RowImport record;
    IDispatchPtr cells = automation::GetCells(worksheet);
    long rowsRead = 0;
    for (long row = options.StartRow; row <= kLastScannedRow; ++row) {
        std::string handle;
        if (!CommentOf(CellAt(cells, row, kHandleColumn), handle)) {
            // Rows with a handle do not reset the count: blank rows anywhere
            // in the sheet add up.
            if (++record.rowsWithoutHandle > kRowsWithoutHandleAllowed)
                break;
            continue;
        }
        ++rowsRead;
        report.RowRead();
        record.BeginRow(std::move(handle), row);
        ReadRow(cells, options, markers, sheet, record, report);
        record.ApplyToDrawing(options, sheet, report);
    }
    // A sheet that an export did not write (or whose comments were lost)
    // would otherwise pass without a word.
    if (rowsRead == 0)
        report.SheetWithoutHandles(sheet);
}

bool ImportFromExcel(const ImportOptions& options)
{
    // Import never starts the program: without a running one there is nothing to read.
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return false;
    ImportReport report;
    if (options.ImportSettings == 1) {
        IDispatchPtr worksheets = automation::GetWorksheets(automation::GetActiveWorkbook(application));
        const long count = automation::GetCount(worksheets);
        for (long index = 1; index <= count; ++index)
            ImportWorksheet(automation::GetItem(worksheets, _variant_t(index)), options, report);
    } else {
        ImportWorksheet(automation::GetActiveSheet(application), options, report);
    }
    PrintText(report.Line());
    return true;
}
