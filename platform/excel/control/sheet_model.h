// The data of one worksheet and one workbook of the spreadsheet stand-in,
// with the program's rules for cells, displayed texts and sheet names. Plain
// data: the application object (excel_app.h) guards it with its lock.
#pragma once
#include "cell_text_store.h"
#include "oaidl.h"

#include <algorithm>
#include <array>
#include <bit>
#include <deque>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace excelsim {

// The grid of the program generation the module was written for.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr std::size_t kMaxSheetNameLength = 31;

enum class CellKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

// A value on its own, outside any sheet: what automation hands in and out.
struct CellValue {
    CellKind kind = CellKind::Empty;
    double number = 0.0;
    bool boolean = false;
    SCODE error = 0;          // 0x800A07xx, as the program reports #N/A and its kin
    std::u16string text;

    bool operator==(const CellValue&) const = default;
};

// A cell as a sheet stores it, 16 bytes: an export's sheets hold millions of
// cells, so the text, the number format and the comment live in tables of
// the sheet and the cell only says where. Blank (all zero) is a cell that
// holds nothing.
struct PackedCell {
    static constexpr std::uint8_t kBold = 1, kCommented = 2;

    std::uint64_t payload = 0; // the number's bits, the boolean, the error code, or where the text is
    std::uint32_t length = 0;  // the text's length in UTF-16 code units
    CellKind kind = CellKind::Empty;
    std::uint8_t flags = 0;
    std::uint16_t format = 0; // index into the sheet's number formats; 0 is General

    bool IsBlank() const { return kind == CellKind::Empty && flags == 0 && format == 0; }
};
static_assert(sizeof(PackedCell) == 16, "a cell's size is what an export's memory is made of");

class Sheet;

// A non-blank cell of a sheet, read in place. The views it gives (text,
// number format, comment) point into the sheet's tables: they are valid until
// the next change to the sheet, so a caller copies what it keeps beyond the
// application's lock.
class Cell {
public:
    CellKind Kind() const { return cell_->kind; }
    double Number() const;
    bool Boolean() const { return cell_->payload != 0; }
    SCODE Error() const { return static_cast<SCODE>(static_cast<std::uint32_t>(cell_->payload)); }
    // The text of a text value; empty for any other kind.
    std::u16string_view Text() const;
    // The value as a copy that outlives the sheet.
    CellValue Value() const;
    std::u16string_view NumberFormat() const; // empty: General
    bool Bold() const { return (cell_->flags & PackedCell::kBold) != 0; }
    std::optional<std::u16string_view> Comment() const;

    // Reads like the pointer it replaces: cell->Text() for a found cell
    // (std::optional<Cell>) and for one of SortedCells alike.
    const Cell* operator->() const { return this; }

protected:
    friend class Sheet;
    Cell(const Sheet& sheet, const PackedCell& cell, int row, int column)
        : sheet_(&sheet), cell_(&cell), row_(row), column_(column)
    {
    }

    const Sheet* sheet_;
    const PackedCell* cell_;
    int row_, column_;
};

// The cell a change given to Sheet::Update works on.
class CellEdit : public Cell {
public:
    void SetValue(const CellValue& value);
    // Empties the cell's value; formats and comment stay.
    void ClearValue() { SetValue(CellValue{}); }
    // Sets the format; false when the sheet holds as many distinct formats
    // as it can and this one is new (the cell keeps its format then).
    bool SetNumberFormat(std::u16string_view format);
    void SetBold(bool bold);
    void SetComment(std::optional<std::u16string_view> comment);

private:
    friend class Sheet;
    CellEdit(Sheet& sheet, PackedCell& cell, int row, int column) : Cell(sheet, cell, row, column) {}
    Sheet& Owner() const { return const_cast<Sheet&>(*sheet_); }
    PackedCell& Stored() const { return const_cast<PackedCell&>(*cell_); }
};

// What a text entered into a cell becomes: in a cell formatted "@" the text
// itself; otherwise a number when it reads as one in the user's locale, an
// error value when it names one, else text; a leading apostrophe keeps the
// rest as text. An empty text empties the cell.
CellValue EnteredValue(const std::u16string& text, bool textFormat);

// The displayed text of a value in the General format (also for "@" cells,
// which only change how later text entries are taken).
std::u16string DisplayedText(const CellValue& value);
std::u16string DisplayedText(const Cell& cell);
// Its length, without making the text for a text value.
std::size_t DisplayedLength(const CellValue& value);
std::size_t DisplayedLength(const PackedCell& cell);
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

    std::optional<Cell> Find(int row, int column) const
    {
        if (row < 1 || column < 1 || static_cast<std::size_t>(row) > rows_.size())
            return std::nullopt;
        const std::vector<PackedCell>& cells = rows_[static_cast<std::size_t>(row) - 1];
        if (static_cast<std::size_t>(column) > cells.size())
            return std::nullopt;
        const PackedCell& cell = cells[static_cast<std::size_t>(column) - 1];
        if (cell.IsBlank())
            return std::nullopt;
        return Cell(*this, cell, row, column);
    }
    // Every change to a cell goes through Update, which keeps the autofit
    // bookkeeping, the count of cells and the text store current. `change`
    // is called with a CellEdit&.
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
        if (noteChanges_ && (changedCells_.empty() || changedCells_.back() != key)) {
            changedCells_.push_back(key);
            if (changedCells_.size() >= changedCellsLimit_)
                DropRepeatedChanges();
        }
        PackedCell& cell = Slot(row, column);
        const bool wasBlank = cell.IsBlank();
        std::size_t before = DisplayedLength(cell);
        CellEdit edit(*this, cell, row, column);
        change(edit);
        std::size_t after = DisplayedLength(cell);
        if (before != after)
            TrackLength(column, before, after);
        const bool blank = cell.IsBlank();
        if (wasBlank != blank)
            cellCount_ = blank ? cellCount_ - 1 : cellCount_ + 1;
        if (blank)
            TrimRow(row);
        // Only here, with no CellEdit left: compacting moves the texts.
        if (texts_.GarbageUnits() > CompactionThreshold())
            CompactTexts();
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
    std::vector<std::pair<std::pair<int, int>, Cell>> SortedCells() const;
    // Calls f(row, column, const Cell&) for every non-blank cell, ordered by
    // row then column, without gathering them first.
    template <class F>
    void ForEachCell(F&& f) const
    {
        for (std::size_t r = 0; r < rows_.size(); ++r)
            for (std::size_t c = 0; c < rows_[r].size(); ++c)
                if (!rows_[r][c].IsBlank())
                    f(static_cast<int>(r + 1), static_cast<int>(c + 1),
                      Cell(*this, rows_[r][c], static_cast<int>(r + 1), static_cast<int>(c + 1)));
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
    // (row, column), ordered. A sheet never saved nor read is compared with
    // nothing: every cell it holds.
    std::vector<std::pair<int, int>> ChangedCells() const;
    const std::unordered_set<int>& ChangedRows() const { return changedRows_; } // row formats
    void MarkSaved();
    // The package part the sheet was read from; empty for a new sheet.
    const std::string& Origin() const { return origin_; }
    void SetOrigin(std::string part) { origin_ = std::move(part); }

    // Memory held by the cells, their texts, formats and comments, in
    // bytes: what the benchmarks report per cell.
    std::size_t CellBytes() const;
    // Code units of replaced texts still held; bounded by CompactionThreshold.
    std::size_t GarbageTextUnits() const { return texts_.GarbageUnits(); }

    // As many distinct number formats as a sheet holds (General included).
    static constexpr std::size_t kMaxNumberFormats = 0xFFFF;

private:
    friend class Cell;
    friend class CellEdit;

    static std::uint64_t Key(int row, int column)
    {
        return (static_cast<std::uint64_t>(row) << 16) | static_cast<std::uint64_t>(column);
    }
    void TrackLength(int column, std::size_t before, std::size_t after);
    // The cell at (row, column), made when the row is shorter.
    PackedCell& Slot(int row, int column)
    {
        if (static_cast<std::size_t>(row) > rows_.size())
            rows_.resize(static_cast<std::size_t>(row));
        std::vector<PackedCell>& cells = rows_[static_cast<std::size_t>(row) - 1];
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

    // Where a text is in texts_, as a cell keeps it.
    struct TextAt {
        std::uint64_t at = 0;
        std::uint32_t length = 0;
    };
    // Garbage may grow to the live text, and at least to what a compaction
    // walks (every row, cell and comment) and a floor: then each compaction
    // costs no more than the writes that made its garbage.
    std::size_t CompactionThreshold() const
    {
        return std::max({texts_.LiveUnits(), cellCount_ + comments_.size() + rows_.size(), kMinGarbageUnits});
    }
    static constexpr std::size_t kMinGarbageUnits = CellTextStore::kBlockUnits;
    // Copies the live texts into a new store, in row order, and drops the old.
    void CompactTexts();
    // Sorts the repeats out of changedCells_: a sheet the live link rewrites
    // for hours without a save notes each cell once, not once per change.
    void DropRepeatedChanges();
    std::uint16_t FormatIndex(std::u16string_view format); // kNoFormat when full
    static constexpr std::uint16_t kNoFormat = 0xFFFF;

    std::u16string name_;
    // Row by row, each row's cells by column (1-based numbers, 0-based
    // index). Rows are written and read in order, so contiguous storage
    // beats a hash of single cells.
    std::vector<std::vector<PackedCell>> rows_;
    CellTextStore texts_;
    // The distinct number formats, 0 being General (""); a deque, so that a
    // cell's view of its format survives another format's arrival.
    std::deque<std::u16string> formats_{std::u16string()};
    std::unordered_map<std::u16string_view, std::uint16_t> formatIndex_{{std::u16string_view(), 0}};
    // Comments by cell (Key): few cells have one, so the cell holds a flag
    // and the text lives here.
    std::unordered_map<std::uint64_t, TextAt> comments_;
    std::size_t cellCount_ = 0;
    std::unordered_set<int> boldRows_;
    std::map<int, double> widths_;
    // Per column: how many cells show a text of each length (non-zero lengths).
    std::unordered_map<int, std::map<std::size_t, int>> lengths_;
    bool changed_ = false, renamed_ = false, widthsChanged_ = false;
    // Keys of the changed cells in the order of change, repeats possible;
    // ChangedCells sorts them out. Noted from the first save or read on:
    // before, every cell is a change, and an export's millions of new cells
    // need no list of their own.
    bool noteChanges_ = false;
    std::vector<std::uint64_t> changedCells_;
    std::size_t changedCellsLimit_ = kMinChangedCellsLimit; // twice the distinct ones, at least the floor
    static constexpr std::size_t kMinChangedCellsLimit = 4096;
    std::unordered_set<int> changedRows_;
    std::string origin_;
};

inline double Cell::Number() const { return std::bit_cast<double>(cell_->payload); }

inline std::u16string_view Cell::Text() const
{
    return cell_->kind == CellKind::Text ? sheet_->texts_.View(cell_->payload, cell_->length) : std::u16string_view();
}

inline std::u16string_view Cell::NumberFormat() const { return sheet_->formats_[cell_->format]; }

inline std::optional<std::u16string_view> Cell::Comment() const
{
    if (!(cell_->flags & PackedCell::kCommented))
        return std::nullopt;
    const Sheet::TextAt& at = sheet_->comments_.at(Sheet::Key(row_, column_));
    return sheet_->texts_.View(at.at, at.length);
}

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
