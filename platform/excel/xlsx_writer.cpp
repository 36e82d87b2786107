// Saving a workbook as .xlsx with libxlsxwriter.
#include "xlsx_file.h"
#include "xlsx_text.h"
#include "stand_in_progress.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace excelsim {
namespace {

using xlsx::Utf8;

// Cell texts and comments go out with the format's escapes (xlsx_text.h).
std::string StoredText(std::u16string_view text)
{
    return xlsx::TextNeedsEscape(text) ? Utf8(xlsx::EscapeText(text)) : Utf8(text);
}

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const
    {
        if (book)
            workbook_close(book);
    }
};

// One format per (bold, number format) pair in use.
class Formats {
public:
    explicit Formats(lxw_workbook* book) : book_(book) {}
    lxw_format* For(bool bold, std::u16string_view numberFormat)
    {
        if (!bold && numberFormat.empty())
            return nullptr;
        auto key = std::make_pair(bold, std::u16string(numberFormat));
        auto it = formats_.find(key);
        if (it != formats_.end())
            return it->second;
        lxw_format* format = workbook_add_format(book_);
        if (bold)
            format_set_bold(format);
        if (!numberFormat.empty())
            format_set_num_format(format, Utf8(numberFormat).c_str());
        formats_[key] = format;
        return format;
    }

private:
    lxw_workbook* book_;
    std::map<std::pair<bool, std::u16string>, lxw_format*> formats_;
};

lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const Cell& cell, lxw_format* format)
{
    switch (cell.Kind()) {
    case CellKind::Number:
        return worksheet_write_number(sheet, row, col, cell.Number(), format);
    case CellKind::Text:
        return worksheet_write_string(sheet, row, col, StoredText(cell.Text()).c_str(), format);
    case CellKind::Boolean:
        return worksheet_write_boolean(sheet, row, col, cell.Boolean() ? 1 : 0, format);
    case CellKind::Error: {
        // An error value is kept as the formula that yields it, with the
        // error as its last result.
        std::string text = Utf8(ErrorValueText(cell.Error()));
        return worksheet_write_formula_str(sheet, row, col, ("=" + text).c_str(), format, text.c_str());
    }
    case CellKind::Empty:
        return format ? worksheet_write_blank(sheet, row, col, format) : LXW_NO_ERROR;
    }
    return LXW_NO_ERROR;
}

bool WriteSheet(lxw_workbook* book, Formats& formats, const Sheet& sheet, bool active, std::string& error)
{
    lxw_worksheet* ws = workbook_add_worksheet(book, Utf8(sheet.Name()).c_str());
    if (!ws) {
        error = "the sheet name \"" + Utf8(sheet.Name()).substr(0, 64) + "\" cannot be saved";
        return false;
    }
    if (active)
        worksheet_activate(ws);
    for (const auto& [column, width] : sheet.ColumnWidths())
        worksheet_set_column(ws, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1), width, nullptr);
    // The rows go out in order, as the constant-memory mode needs them: a
    // bold row's format is set before its first cell, also for a bold row
    // that holds no cell.
    lxw_format* bold = formats.For(true, u"");
    std::vector<int> boldRows(sheet.BoldRows().begin(), sheet.BoldRows().end());
    std::sort(boldRows.begin(), boldRows.end());
    auto nextBold = boldRows.begin();
    auto boldRowsUpTo = [&](int row) {
        for (; nextBold != boldRows.end() && *nextBold <= row; ++nextBold)
            worksheet_set_row(ws, static_cast<lxw_row_t>(*nextBold - 1), LXW_DEF_ROW_HEIGHT, bold);
    };
    lxw_error status = LXW_NO_ERROR;
    std::uint64_t written = 0;
    sheet.ForEachCell([&](int rowNumber, int column, const Cell& cell) {
        if (status != LXW_NO_ERROR)
            return;
        if ((++written & 0xFFF) == 0) // a host's progress line polls this
            Progress().workbookCellsWritten.fetch_add(0x1000, std::memory_order_relaxed);
        boldRowsUpTo(rowNumber);
        auto row = static_cast<lxw_row_t>(rowNumber - 1);
        auto col = static_cast<lxw_col_t>(column - 1);
        bool isBold = cell.Bold() || (!boldRows.empty() && sheet.RowBold(rowNumber));
        status = WriteCell(ws, row, col, cell, formats.For(isBold, cell.NumberFormat()));
        if (status == LXW_NO_ERROR)
            if (std::optional<std::u16string_view> comment = cell.Comment())
                status = worksheet_write_comment(ws, row, col, StoredText(*comment).c_str());
    });
    if (status != LXW_NO_ERROR) {
        error = std::string("cannot write a cell: ") + lxw_strerror(status);
        return false;
    }
    boldRowsUpTo(kMaxRows);
    return true;
}

// Whether a cell text needs the format's _xHHHH_ escape. Only the shared
// strings are read back through that escape by every reader (openpyxl takes
// an inline string's text as it stands), so a workbook holding such a text
// is written with a shared-string table.
bool AnyTextNeedsEscape(const Workbook& book)
{
    bool found = false;
    for (const auto& sheet : book.sheets) {
        sheet->ForEachCell([&](int, int, const Cell& cell) {
            if (!found && cell.Kind() == CellKind::Text && xlsx::TextNeedsEscape(cell.Text()))
                found = true;
        });
        if (found)
            return true;
    }
    return false;
}

} // namespace

bool WriteXlsx(const Workbook& book, const std::string& path, std::string& error)
{
    // Written beside the target and renamed over it, so a failed save never
    // leaves a damaged file where a good one was.
    return ReplaceFile(
        path,
        [&](const std::string& temporary, std::string& writeError) {
            // Constant-memory mode: each row is written out when the next one
            // starts, and texts go inline instead of through a shared-string
            // table, so a large sheet never sits in memory twice.
            lxw_workbook_options options{};
            options.constant_memory = AnyTextNeedsEscape(book) ? LXW_FALSE : LXW_TRUE;
            std::unique_ptr<lxw_workbook, WorkbookCloser> out(workbook_new_opt(temporary.c_str(), &options));
            if (!out) {
                writeError = "cannot create " + path;
                return false;
            }
            Formats formats(out.get());
            for (std::size_t i = 0; i < book.sheets.size(); ++i)
                if (!WriteSheet(out.get(), formats, *book.sheets[i], i == book.activeSheet, writeError))
                    return false;
            lxw_error status = workbook_close(out.release());
            if (status != LXW_NO_ERROR) {
                writeError = std::string("cannot save ") + path + ": " + lxw_strerror(status);
                return false;
            }
            return true;
        },
        error);
}

} // namespace excelsim
