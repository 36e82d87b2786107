// The workbook's file was saved by another program: what differs from the
// workbook held is what that program's user typed, and it reaches the
// program's clients as those keystrokes would have. Cells equal in both are
// left alone, so a client that acts on SheetChange hears nothing of them.
#include "excel_app.h"
#include "excel_objects.h"
#include "utf8_text.h"

namespace excelsim {
namespace {

struct Change {
    int row, column;
    CellValue value;
};

// Both lists come ordered by row then column, so one merge finds every
// difference without a lookup per cell.
std::vector<Change> Differences(const Sheet& held, const Sheet& saved)
{
    const auto a = held.SortedCells();
    const auto b = saved.SortedCells();
    std::vector<Change> changes;
    std::size_t i = 0, j = 0;
    static const CellValue kEmpty;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].first < b[j].first)) {
            if (!(a[i].second->value == kEmpty))
                changes.push_back({a[i].first.first, a[i].first.second, kEmpty});
            ++i;
        } else if (i == a.size() || b[j].first < a[i].first) {
            if (!(b[j].second->value == kEmpty))
                changes.push_back({b[j].first.first, b[j].first.second, b[j].second->value});
            ++j;
        } else {
            if (!(a[i].second->value == b[j].second->value))
                changes.push_back({a[i].first.first, a[i].first.second, b[j].second->value});
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
            for (std::size_t k = 0; k < changes.size();) {
                // A run of neighbouring cells in one row goes out as one
                // block, as a paste of that row would.
                std::size_t end = k + 1;
                while (end < changes.size() && changes[end].row == changes[k].row &&
                       changes[end].column == changes[end - 1].column + 1)
                    ++end;
                for (std::size_t m = k; m < end; ++m)
                    sheet->Update(changes[m].row, changes[m].column,
                                  [&](Cell& cell) { cell.value = changes[m].value; });
                events.push_back({SheetRef{book, sheet},
                                  CellRect{changes[k].row, changes[k].column, changes[k].row, changes[end - 1].column}});
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
