// The data of one worksheet and one workbook of the spreadsheet stand-in,
// with the program's rules for cells, displayed texts and sheet names. Plain
// data: the application object (excel_app.h) guards it with its lock.
#pragma once
#include "oaidl.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace excelsim {

// The grid of the program generation the module was written for.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr std::size_t kMaxSheetNameLength = 31;

enum class CellKind { Empty, Number, Text, Boolean, Error };

struct CellValue {
    CellKind kind = CellKind::Empty;
    double number = 0.0;
    bool boolean = false;
    SCODE error = 0;          // 0x800A07xx, as the program reports #N/A and its kin
    std::u16string text;

    bool operator==(const CellValue&) const = default;
};

struct Cell {
    CellValue value;
    std::u16string numberFormat; // empty: General
    bool bold = false;
    std::optional<std::u16string> comment;

    bool IsBlank() const
    {
        return value.kind == CellKind::Empty && numberFormat.empty() && !bold && !comment;
    }
};

// What a text entered into a cell becomes: in a cell formatted "@" the text
// itself; otherwise a number when it reads as one in the user's locale, an
// error value when it names one, else text; a leading apostrophe keeps the
// rest as text. An empty text empties the cell.
CellValue EnteredValue(const std::u16string& text, bool textFormat);

// The displayed text of a value in the General format (also for "@" cells,
// which only change how later text entries are taken).
std::u16string DisplayedText(const CellValue& value);
// Its length, without making the text for a text value.
std::size_t DisplayedLength(const CellValue& value);
std::u16string GeneralNumberText(double number);
std::u16string ErrorValueText(SCODE error);
// Reads the text of an error value back ("#N/A" -> its code); 0 when none.
SCODE ErrorValueFromText(const std::u16string& text);

class Sheet {
public:
    explicit Sheet(std::u16string name) : name_(std::move(name)) {}

    const std::u16string& Name() const { return name_; }
    void SetName(std::u16string name)
    {
        name_ = std::move(name);
        changed_ = renamed_ = true;
    }

    const Cell* Find(int row, int column) const
    {
        if (row < 1 || column < 1 || static_cast<std::size_t>(row) > rows_.size())
            return nullptr;
        const std::vector<Cell>& cells = rows_[static_cast<std::size_t>(row) - 1];
        if (static_cast<std::size_t>(column) > cells.size())
            return nullptr;
        const Cell& cell = cells[static_cast<std::size_t>(column) - 1];
        return cell.IsBlank() ? nullptr : &cell;
    }
    // Every change to a cell goes through Update, which keeps the autofit
    // bookkeeping and the count of cells current.
    template <class Change>
    void Update(int row, int column, Change&& change)
    {
        // Rows and columns count from 1; the callers check the grid, and a
        // position before its start has no storage to go to.
        if (row < 1 || column < 1)
            return;
        changed_ = true;
        const std::uint64_t key = Key(row, column);
        // A run of changes to one cell (format, then value) is noted once.
        if (changedCells_.empty() || changedCells_.back() != key)
            changedCells_.push_back(key);
        Cell& cell = Slot(row, column);
        const bool wasBlank = cell.IsBlank();
        std::size_t before = DisplayedLength(cell.value);
        change(cell);
        std::size_t after = DisplayedLength(cell.value);
        if (before != after)
            TrackLength(column, before, after);
        const bool blank = cell.IsBlank();
        if (wasBlank != blank)
            cellCount_ = blank ? cellCount_ - 1 : cellCount_ + 1;
        if (blank)
            TrimRow(row);
    }

    bool RowBold(int row) const { return boldRows_.count(row) != 0; }
    void SetRowBold(int row, bool bold);
    const std::unordered_set<int>& BoldRows() const { return boldRows_; }

    // AutoFit: columns first..last take the width of their longest displayed
    // text; columns without text keep theirs.
    void AutoFit(int firstColumn, int lastColumn);
    std::optional<double> ColumnWidth(int column) const;
    void SetColumnWidth(int column, double width)
    {
        widths_[column] = width;
        changed_ = widthsChanged_ = true;
    }
    const std::map<int, double>& ColumnWidths() const { return widths_; }
    // Longest displayed text in the column, in characters (0 when empty).
    std::size_t LongestText(int column) const;

    // All non-blank cells, ordered by row then column.
    std::vector<std::pair<std::pair<int, int>, const Cell*>> SortedCells() const;
    // Calls f(row, column, cell) for every non-blank cell, ordered by row
    // then column, without gathering them first.
    template <class F>
    void ForEachCell(F&& f) const
    {
        for (std::size_t r = 0; r < rows_.size(); ++r)
            for (std::size_t c = 0; c < rows_[r].size(); ++c)
                if (!rows_[r][c].IsBlank())
                    f(static_cast<int>(r + 1), static_cast<int>(c + 1), rows_[r][c]);
    }
    std::size_t CellCount() const { return cellCount_; }
    // Rows and columns spanned by the non-blank cells, as top, left, bottom,
    // right; {1, 1, 1, 1} when there are none.
    std::array<int, 4> UsedExtent() const;

    // What changed since the sheet was read from a file or saved: saving
    // over an opened file rewrites only these and keeps everything else.
    bool Changed() const { return changed_; }
    bool Renamed() const { return renamed_; }
    bool WidthsChanged() const { return widthsChanged_; }
    std::vector<std::pair<int, int>> ChangedCells() const; // (row, column), ordered
    const std::unordered_set<int>& ChangedRows() const { return changedRows_; } // row formats
    void MarkSaved();
    // The package part the sheet was read from; empty for a new sheet.
    const std::string& Origin() const { return origin_; }
    void SetOrigin(std::string part) { origin_ = std::move(part); }

private:
    static std::uint64_t Key(int row, int column)
    {
        return (static_cast<std::uint64_t>(row) << 16) | static_cast<std::uint64_t>(column);
    }
    void TrackLength(int column, std::size_t before, std::size_t after);
    // The cell at (row, column), made when the row is shorter.
    Cell& Slot(int row, int column)
    {
        if (static_cast<std::size_t>(row) > rows_.size())
            rows_.resize(static_cast<std::size_t>(row));
        std::vector<Cell>& cells = rows_[static_cast<std::size_t>(row) - 1];
        if (static_cast<std::size_t>(column) > cells.size()) {
            // A new row is most likely as wide as the one above it.
            if (cells.empty() && row > 1)
                cells.reserve(std::max(static_cast<std::size_t>(column), rows_[static_cast<std::size_t>(row) - 2].size()));
            cells.resize(static_cast<std::size_t>(column));
        }
        return cells[static_cast<std::size_t>(column) - 1];
    }
    // Drops the blank cells at the end of a row, and empty rows at the end
    // of the sheet, so that clearing gives the memory back.
    void TrimRow(int row);

    std::u16string name_;
    // Row by row, each row's cells by column (1-based numbers, 0-based
    // index); a blank Cell is a cell that holds nothing. Rows are written and
    // read in order, so contiguous storage beats a hash of single cells.
    std::vector<std::vector<Cell>> rows_;
    std::size_t cellCount_ = 0;
    std::unordered_set<int> boldRows_;
    std::map<int, double> widths_;
    // Per column: how many cells show a text of each length (non-zero lengths).
    std::unordered_map<int, std::map<std::size_t, int>> lengths_;
    bool changed_ = false, renamed_ = false, widthsChanged_ = false;
    // Keys of the changed cells in the order of change, repeats possible;
    // ChangedCells sorts them out.
    std::vector<std::uint64_t> changedCells_;
    std::unordered_set<int> changedRows_;
    std::string origin_;
};

// Why a sheet name is refused, or Ok.
enum class SheetNameProblem { Ok, Empty, TooLong, BadCharacter, Apostrophe, Reserved, Taken };

struct Workbook {
    std::u16string name;
    std::vector<std::shared_ptr<Sheet>> sheets;
    std::size_t activeSheet = 0;
    int sheetsCreated = 0; // numbers the next default sheet name
    // For a workbook opened from a file: the file's path and bytes as read,
    // so that saving can keep what the model does not hold. Null for a new
    // workbook.
    struct OpenedFile {
        std::string path;
        std::string bytes;
    };
    std::shared_ptr<const OpenedFile> opened;
    bool sheetsChanged = false; // sheets added, removed or reordered

    // Anything changed since it was opened or saved.
    bool Changed() const;
    void MarkSaved();

    Sheet* FindSheet(const std::u16string& name) const;
    SheetNameProblem CheckSheetName(const std::u16string& name, const Sheet* renamed) const;
    std::u16string NextSheetName();
};

// Case-insensitive comparison of names, as the program compares sheet and
// workbook names.
bool SameName(const std::u16string& a, const std::u16string& b);

} // namespace excelsim
