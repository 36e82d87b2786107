// The user at the program: pasting, clearing, switching and closing, each
// with the events the program fires for it. As everywhere in the program,
// no lock is held while an event goes out.
#include "excel_app.h"
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {
namespace {

constexpr DISPID kSheetActivate = 0x619;
constexpr DISPID kNewWorkbook = 0x61D;
constexpr DISPID kWorkbookActivate = 0x620;
constexpr DISPID kWorkbookBeforeClose = 0x622;

// The workbook and sheet of those names (empty sheet name: the workbook's
// active sheet), looked up under the instance's lock.
bool Resolve(AppData& data, const std::u16string& workbook, const std::u16string& sheetName, SheetRef& ref,
             std::string& error)
{
    for (const auto& book : data.workbooks) {
        if (!SameName(book->name, workbook))
            continue;
        if (sheetName.empty()) {
            if (book->activeSheet < book->sheets.size())
                ref = SheetRef{book, book->sheets[book->activeSheet]};
        } else {
            for (const auto& sheet : book->sheets)
                if (SameName(sheet->Name(), sheetName))
                    ref = SheetRef{book, sheet};
        }
    }
    if (!ref.sheet) {
        error = "no such workbook or worksheet";
        return false;
    }
    return true;
}

// Calls `member` on every advised sink with the given objects, declared
// order; the references in `objects` are taken over.
void Fire(const std::shared_ptr<ExcelApp>& app, DISPID member, std::vector<IDispatch*> objects)
{
    std::vector<IDispatch*> sinks = app->SinkSnapshot();
    std::vector<VARIANT> args(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        VariantInit(&args[i]);
        args[i].vt = VT_DISPATCH;
        args[i].pdispVal = objects[objects.size() - 1 - i]; // last first
    }
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    for (IDispatch* sink : sinks) {
        sink->Invoke(member, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        sink->Release();
    }
    for (VARIANT& arg : args)
        VariantClear(&arg);
}

} // namespace

bool ExcelApp::PasteCells(const std::u16string& workbook, const std::u16string& sheet, int row, int column,
                          const std::vector<std::vector<std::u16string>>& rows, std::string& error)
{
    std::size_t width = 0;
    for (const auto& values : rows)
        width = std::max(width, values.size());
    if (rows.empty() || width == 0) {
        error = "nothing to paste";
        return false;
    }
    const int bottom = row + static_cast<int>(rows.size()) - 1;
    const int right = column + static_cast<int>(width) - 1;
    if (row < 1 || column < 1 || bottom > kMaxRows || right > kMaxColumns) {
        error = "no such cell";
        return false;
    }
    SheetRef ref;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Resolve(data_, workbook, sheet, ref, error))
            return false;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                ref.sheet->Update(row + static_cast<int>(r), column + static_cast<int>(c), [&](CellEdit& cell) {
                    cell.SetValue(EnteredValue(rows[r][c], cell.NumberFormat() == u"@"));
                });
            }
        }
    }
    FireSheetChange(shared_from_this(), ref, CellRect{row, column, bottom, right});
    return true;
}

bool ExcelApp::ClearCells(const std::u16string& workbook, const std::u16string& sheet, int top, int left,
                          int bottom, int right, std::string& error)
{
    RangeShape shape = RangeShape::Cells;
    if (bottom == 0) {
        bottom = kMaxRows;
        shape = RangeShape::EntireColumns;
    }
    if (right == 0) {
        right = kMaxColumns;
        shape = shape == RangeShape::EntireColumns ? RangeShape::Cells : RangeShape::EntireRows;
    }
    if (top < 1 || left < 1 || bottom < top || right < left || bottom > kMaxRows || right > kMaxColumns) {
        error = "no such range";
        return false;
    }
    SheetRef ref;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Resolve(data_, workbook, sheet, ref, error))
            return false;
        // Only cells that hold something need clearing; a whole column is
        // not walked cell by cell.
        std::vector<std::pair<int, int>> doomed;
        for (const auto& [position, cell] : ref.sheet->SortedCells()) {
            const auto [r, c] = position;
            if (r >= top && r <= bottom && c >= left && c <= right)
                doomed.emplace_back(r, c);
        }
        for (const auto& [r, c] : doomed)
            ref.sheet->Update(r, c, [](CellEdit& cell) { cell.ClearValue(); });
    }
    FireSheetChange(shared_from_this(), ref, CellRect{top, left, bottom, right, shape});
    return true;
}

bool ExcelApp::ActivateSheet(const std::u16string& workbook, const std::u16string& sheet, std::string& error)
{
    SheetRef ref;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Resolve(data_, workbook, sheet, ref, error))
            return false;
        data_.activeWorkbook = ref.book;
        auto& sheets = ref.book->sheets;
        ref.book->activeSheet = static_cast<std::size_t>(std::find(sheets.begin(), sheets.end(), ref.sheet) - sheets.begin());
    }
    auto self = shared_from_this();
    Fire(self, kWorkbookActivate, {NewWorkbookObject(self, ref.book)});
    if (!sheet.empty())
        Fire(self, kSheetActivate, {NewWorksheetObject(self, ref)});
    return true;
}

std::u16string ExcelApp::NewWorkbook()
{
    std::shared_ptr<Workbook> book;
    std::u16string name;
    {
        std::lock_guard<std::mutex> guard(lock_);
        book = data_.AddWorkbook();
        name = book->name;
    }
    auto self = shared_from_this();
    Fire(self, kNewWorkbook, {NewWorkbookObject(self, book)});
    return name;
}

bool ExcelApp::CloseWorkbook(const std::u16string& workbook, std::string& error)
{
    SheetRef ref;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Resolve(data_, workbook, u"", ref, error))
            return false;
    }
    auto self = shared_from_this();
    Fire(self, kWorkbookBeforeClose, {NewWorkbookObject(self, ref.book)});
    std::lock_guard<std::mutex> guard(lock_);
    auto& books = data_.workbooks;
    books.erase(std::remove(books.begin(), books.end(), ref.book), books.end());
    if (data_.activeWorkbook == ref.book)
        data_.activeWorkbook = books.empty() ? nullptr : books.front();
    return true;
}

} // namespace excelsim
