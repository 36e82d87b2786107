// The workbook's file was saved by another program: what differs from the
// workbook held is what that program's user typed, and it reaches the
// program's clients as those keystrokes would have. Cells equal in both are
// left alone, so a client that acts on SheetChange hears nothing of them.
#include "excel_app.h"
#include "excel_objects.h"
#include "utf8_text.h"

#include <optional>

namespace excelsim {
namespace {

// A cell whose value or comment differs. Comments travel with sorted rows
// (a client may keep a row's identity in one), so they are taken over too;
// only a changed value is something the user typed and fires SheetChange.
struct Change {
    int row, column;
    CellValue value;
    std::optional<std::u16string> comment;
    bool valueChanged;
};

// Both lists come ordered by row then column, so one merge finds every
// difference without a lookup per cell.
std::vector<Change> Differences(const Sheet& held, const Sheet& saved)
{
    const auto a = held.SortedCells();
    const auto b = saved.SortedCells();
    std::vector<Change> changes;
    // A null cell is a blank one. What is kept is copied: the views end
    // with the first change to either sheet.
    auto compare = [&](std::pair<int, int> at, const Cell* before, const Cell* after) {
        const CellValue was = before ? before->Value() : CellValue{};
        CellValue now = after ? after->Value() : CellValue{};
        const std::optional<std::u16string_view> wasComment = before ? before->Comment() : std::nullopt;
        const std::optional<std::u16string_view> nowComment = after ? after->Comment() : std::nullopt;
        const bool valueChanged = !(was == now);
        if (valueChanged || wasComment != nowComment)
            changes.push_back({at.first, at.second, std::move(now),
                               nowComment ? std::optional<std::u16string>(*nowComment) : std::nullopt, valueChanged});
    };
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].first < b[j].first)) {
            compare(a[i].first, &a[i].second, nullptr);
            ++i;
        } else if (i == a.size() || b[j].first < a[i].first) {
            compare(b[j].first, nullptr, &b[j].second);
            ++j;
        } else {
            compare(a[i].first, &a[i].second, &b[j].second);
            ++i;
            ++j;
        }
    }
    return changes;
}

} // namespace

bool ExcelApp::TakeSavedFile(const std::u16string& workbook, const Workbook& saved,
                             std::vector<std::string>& warnings, std::string& error)
{
    std::vector<std::pair<SheetRef, CellRect>> events;
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::shared_ptr<Workbook> book;
        for (const auto& candidate : data_.workbooks)
            if (SameName(candidate->name, workbook))
                book = candidate;
        if (!book) {
            error = "the workbook is not open";
            return false;
        }
        for (const auto& sheet : book->sheets) {
            const Sheet* savedSheet = saved.FindSheet(sheet->Name());
            if (!savedSheet) {
                warnings.push_back("worksheet '" + Utf8(sheet->Name()) +
                                   "' is not in the saved file; its cells are no longer followed");
                continue;
            }
            const auto changes = Differences(*sheet, *savedSheet);
            for (const Change& change : changes)
                sheet->Update(change.row, change.column, [&](CellEdit& cell) {
                    cell.SetValue(change.value);
                    cell.SetComment(change.comment);
                });
            // A run of neighbouring changed values in one row goes out as
            // one block, as a paste of that row would.
            std::vector<const Change*> typed;
            for (const Change& change : changes)
                if (change.valueChanged)
                    typed.push_back(&change);
            for (std::size_t k = 0; k < typed.size();) {
                std::size_t end = k + 1;
                while (end < typed.size() && typed[end]->row == typed[k]->row &&
                       typed[end]->column == typed[end - 1]->column + 1)
                    ++end;
                events.push_back({SheetRef{book, sheet},
                                  CellRect{typed[k]->row, typed[k]->column, typed[k]->row, typed[end - 1]->column}});
                k = end;
            }
        }
        // Later saves from this program patch the package as it is now on disk.
        if (saved.opened)
            book->opened = saved.opened;
    }
    auto self = shared_from_this();
    for (const auto& [ref, rect] : events)
        FireSheetChange(self, ref, rect);
    return true;
}

} // namespace excelsim
