// Host commands that act as the spreadsheet program's user, so that a
// script can drive the live link: each does what the user's action in the
// program does and fires the same events.
#include "sessions.h"

#include "excel_context.h"
#include "sheet_model.h"
#include "excel/xlsx_text.h"

#include <host_io.h>

#include <cctype>
#include <optional>

namespace {

// Words separated by spaces; "double quotes" keep spaces in a name.
std::vector<std::string> Words(const std::string& text, std::size_t count, std::string& rest)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (words.size() < count) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i >= text.size())
            break;
        std::string word;
        if (text[i] == '"') {
            std::size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
                end = text.size();
            word = text.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            std::size_t end = text.find(' ', i);
            if (end == std::string::npos)
                end = text.size();
            word = text.substr(i, end - i);
            i = end;
        }
        words.push_back(word);
    }
    // The rest after one separating space, kept as typed (a cell's text).
    if (i < text.size() && text[i] == ' ')
        ++i;
    rest = i < text.size() ? text.substr(i) : std::string();
    return words;
}

// "C7" -> row 7, column 3; either part may be missing ("C", "7") and is 0.
bool ParseCell(const std::string& text, int& row, int& column)
{
    row = column = 0;
    std::size_t i = 0;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 1);
        if (column > excelsim::kMaxColumns)
            return false;
        ++i;
    }
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        row = row * 10 + (text[i] - '0');
        if (row > excelsim::kMaxRows)
            return false;
        ++i;
    }
    return i == text.size() && (row > 0 || column > 0);
}

std::u16string Wide(const std::string& text) { return excelsim::xlsx::Utf16(text); }

// "|" between the values of a row, ";" between rows.
std::vector<std::vector<std::u16string>> Block(const std::string& text)
{
    std::vector<std::vector<std::u16string>> rows(1);
    std::string value;
    for (char c : text + ";") {
        if (c == '|' || c == ';') {
            rows.back().push_back(Wide(value));
            value.clear();
            if (c == ';')
                rows.emplace_back();
        } else {
            value += c;
        }
    }
    rows.pop_back();
    return rows;
}

bool Report(bool ok, const std::string& error)
{
    if (!ok)
        HostWriteOutput("excel: " + error + "\n");
    return true;
}

} // namespace

bool RunSpreadsheetHostCommand(const std::string& line)
{
    std::string rest;
    std::vector<std::string> words = Words(line, 2, rest);
    if (words.empty() || words[0] != "excel")
        return false;
    excelsim::ExcelContext* excel = SpreadsheetContext();
    const std::string action = words.size() > 1 ? words[1] : "";
    if (!excel || excel->State() == excelsim::ExcelInstall::Absent)
        return Report(false, "the spreadsheet program is not installed");
    if (action == "start") {
        if (!excel->Running())
            excel->Start();
        return true;
    }
    std::shared_ptr<excelsim::ExcelApp> app = excel->Running();
    if (!app)
        return Report(false, "the spreadsheet program is not running");
    std::string error;
    if (action == "quit") {
        excel->Quit(app);
        return true;
    }
    if (action == "new") {
        HostWriteOutput("excel: new workbook " + excelsim::xlsx::Utf8(app->NewWorkbook()) + "\n");
        return true;
    }
    if (action == "close") {
        std::vector<std::string> args = Words(rest, 1, rest);
        return args.size() == 1 ? Report(app->CloseWorkbook(Wide(args[0]), error), error)
                                : Report(false, "usage: excel close BOOK");
    }
    if (action == "activate") {
        std::vector<std::string> args = Words(rest, 2, rest);
        if (args.empty())
            return Report(false, "usage: excel activate BOOK [SHEET]");
        return Report(app->ActivateSheet(Wide(args[0]), args.size() > 1 ? Wide(args[1]) : u"", error), error);
    }
    if (action == "edit" || action == "paste") {
        std::vector<std::string> args = Words(rest, 3, rest);
        int row = 0, column = 0;
        if (args.size() != 3 || !ParseCell(args[2], row, column) || row == 0 || column == 0)
            return Report(false, "usage: excel " + action + " BOOK SHEET CELL " +
                                     (action == "edit" ? "TEXT" : "V1|V2;V3|V4"));
        if (action == "edit")
            return Report(app->EditCell(Wide(args[0]), Wide(args[1]), row, column, Wide(rest), error), error);
        return Report(app->PasteCells(Wide(args[0]), Wide(args[1]), row, column, Block(rest), error), error);
    }
    if (action == "clear") {
        std::vector<std::string> args = Words(rest, 3, rest);
        const std::string range = args.size() == 3 ? args[2] : "";
        const std::size_t colon = range.find(':');
        int top = 0, left = 0, bottom = 0, right = 0;
        bool ok = !range.empty() && ParseCell(range.substr(0, colon), top, left);
        if (ok && colon == std::string::npos) {
            ok = top > 0 && left > 0;
            bottom = top;
            right = left;
        } else if (ok) {
            ok = ParseCell(range.substr(colon + 1), bottom, right);
        }
        // "C:C" is whole columns, "2:4" whole rows, "C2:C" down to the last row.
        if (ok) {
            if (top == 0)
                top = 1;
            if (left == 0)
                left = 1;
        }
        if (!ok)
            return Report(false, "usage: excel clear BOOK SHEET A1[:B2] (C:C and 2:2 are whole columns and rows)");
        return Report(app->ClearCells(Wide(args[0]), Wide(args[1]), top, left, bottom, right, error), error);
    }
    return Report(false, "unknown action \"" + action + "\": edit, paste, clear, activate, new, close, quit or start");
}
