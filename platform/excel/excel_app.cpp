#include "excel_app.h"

#include "excel_objects.h"
#include "xlsx_file.h"

namespace excelsim {

void CallCounter::Count(DISPID member)
{
    if (member >= 0 && member < kDirectMembers) {
        direct_[static_cast<std::size_t>(member)].fetch_add(1, std::memory_order_relaxed);
        return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    ++others_[member];
}

std::uint64_t CallCounter::Of(DISPID member) const
{
    if (member >= 0 && member < kDirectMembers)
        return direct_[static_cast<std::size_t>(member)].load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> guard(lock_);
    auto it = others_.find(member);
    return it == others_.end() ? 0 : it->second;
}

std::uint64_t CallCounter::Total() const
{
    std::uint64_t total = 0;
    for (const auto& count : direct_)
        total += count.load(std::memory_order_relaxed);
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& [member, count] : others_)
        total += count;
    return total;
}

void CallCounter::Reset()
{
    for (auto& count : direct_)
        count.store(0, std::memory_order_relaxed);
    std::lock_guard<std::mutex> guard(lock_);
    others_.clear();
}

Workbook* AppData::FindWorkbook(const std::u16string& name) const
{
    for (const auto& book : workbooks)
        if (SameName(book->name, name))
            return book.get();
    return nullptr;
}

std::shared_ptr<Workbook> AppData::AddWorkbook()
{
    auto book = std::make_shared<Workbook>();
    do {
        std::string number = std::to_string(++booksCreated);
        book->name = u"Book" + std::u16string(number.begin(), number.end());
    } while (FindWorkbook(book->name));
    book->sheets.push_back(std::make_shared<Sheet>(book->NextSheetName()));
    workbooks.push_back(book);
    activeWorkbook = book;
    return book;
}

void AppData::AdoptWorkbook(std::shared_ptr<Workbook> book)
{
    workbooks.push_back(book);
    activeWorkbook = std::move(book);
}

SaveResult ExcelApp::SaveWorkbook(const std::u16string& workbookName, const std::string& path, std::string& error)
{
    std::lock_guard<std::mutex> guard(lock_);
    Workbook* book = data_.FindWorkbook(workbookName);
    if (!book) {
        error = "no open workbook of that name";
        return SaveResult::Failed;
    }
    return SaveXlsx(*book, path, error);
}

bool ExcelApp::OpenWorkbook(const std::string& path, std::string& error)
{
    // Read without the lock: the file may be large and the instance stays usable.
    auto book = ReadXlsx(path, error);
    if (!book)
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    if (data_.FindWorkbook(book->name)) {
        error = "a workbook of the same name is already open";
        return false;
    }
    data_.AdoptWorkbook(std::move(book));
    return true;
}

} // namespace excelsim

namespace excelsim {

DWORD ExcelApp::AddSink(IDispatch* sink)
{
    std::lock_guard<std::mutex> guard(sinksLock_);
    DWORD cookie = nextCookie_++;
    sinks_.emplace_back(cookie, sink);
    return cookie;
}

IDispatch* ExcelApp::RemoveSink(DWORD cookie)
{
    std::lock_guard<std::mutex> guard(sinksLock_);
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            IDispatch* sink = it->second;
            sinks_.erase(it);
            return sink;
        }
    }
    return nullptr;
}

std::vector<IDispatch*> ExcelApp::SinkSnapshot()
{
    std::lock_guard<std::mutex> guard(sinksLock_);
    std::vector<IDispatch*> out;
    for (auto& [cookie, sink] : sinks_) {
        sink->AddRef();
        out.push_back(sink);
    }
    return out;
}

void ExcelApp::DropSinks()
{
    std::vector<std::pair<DWORD, IDispatch*>> dropped;
    {
        std::lock_guard<std::mutex> guard(sinksLock_);
        dropped.swap(sinks_);
    }
    for (auto& [cookie, sink] : dropped)
        sink->Release();
}

bool ExcelApp::EditCell(const std::u16string& workbook, const std::u16string& sheetName, int row, int column,
                        const std::u16string& text, std::string& error)
{
    // Typing into one cell is what pasting one value there does, events included.
    return PasteCells(workbook, sheetName, row, column, {{text}}, error);
}

} // namespace excelsim
