#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"
#include "export/worksheet_writer.h"

#include <climits>
#include <string>

namespace {

// A text argument: the module's ANSI text as the program's UTF-16.
_variant_t TextArgument(const char* text) { return _variant_t(AnsiToBstr(text)); }

// A row or column number as the cell lookup takes it: a 16-bit number. A
// number that does not fit is refused here rather than handed over wrapped
// round onto some other row.
_variant_t CellIndex(int number)
{
    if (number < SHRT_MIN || number > SHRT_MAX)
        _com_issue_error(DISP_E_OVERFLOW);
    return _variant_t(static_cast<short>(number));
}

// Gives the cell `text` as its comment, replacing the text of a comment it
// has already: the program refuses a second comment on one cell.
void SetCellComment(IDispatch* cells, const _variant_t& row, int column, const std::string& text)
{
    IDispatchPtr cell = automation::GetCellItem(cells, row, CellIndex(column));
    IDispatchPtr comment = automation::GetComment(cell);
    if (comment)
        automation::SetCommentText(comment, text.c_str());
    else
        automation::AddComment(cell, TextArgument(text.c_str()));
}

// The program's error value #N/A.
_variant_t NotAvailable() { return _variant_t(static_cast<long>(kErrorNotAvailable), VT_ERROR); }

} // namespace

bool SpreadsheetRunning()
{
    Excel::_ApplicationPtr application;
    return SUCCEEDED(AcquireExcel(AcquireMode::RunningOnly, application));
}

std::vector<int> WriteRow(bool header, const std::vector<std::string>& texts,
                          const std::vector<std::string>& notes, const Settings& settings)
{
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return {};
    IDispatchPtr sheet = automation::GetActiveSheet(application);
    int& currentRow = TheModuleState().currentRow;
    const _variant_t row = CellIndex(currentRow);
    IDispatchPtr cells = automation::GetCells(sheet);

    std::size_t firstText = 0;
    if (header) {
        for (std::size_t i = 0; i < notes.size(); ++i)
            if (!notes[i].empty())
                SetCellComment(cells, row, static_cast<int>(i) + 1, notes[i]);
    } else if (!texts.empty()) {
        // The handle rides along as the comment of the row's first cell.
        SetCellComment(cells, row, 1, texts[0]);
        firstText = 1;
    }

    std::vector<int> withheld;
    int column = 1;
    for (std::size_t i = firstText; i < texts.size(); ++i, ++column) {
        IDispatchPtr cell = automation::GetCellItem(cells, row, CellIndex(column));
        if (settings.AsText)
            automation::PutTextFormat(cell);
        _bstr_t text = AnsiToBstr(texts[i].c_str());
        if (text.length() > kCellCharacterLimit) {
            // The program refuses the text outright; a cut or empty cell
            // would be read back by an import as the attribute's new text.
            automation::PutValue(cell, NotAvailable());
            withheld.push_back(column);
            continue;
        }
        automation::PutValue(cell, _variant_t(text));
    }

    if (header) {
        const std::string address = "A" + std::to_string(currentRow);
        IDispatchPtr range = automation::GetRange(sheet, TextArgument(address.c_str()), TextArgument(address.c_str()));
        IDispatchPtr font = automation::GetFont(automation::GetEntireRow(range));
        automation::PutBold(font, _variant_t(true));
    }
    ++currentRow;
    return withheld;
}

void AutofitColumns()
{
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return;
    IDispatchPtr sheet = automation::GetActiveSheet(application);
    automation::AutoFit(automation::GetColumns(sheet));
}
