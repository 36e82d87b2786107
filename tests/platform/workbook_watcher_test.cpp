// The watcher on a workbook's file: saves by another program reach the
// program's clients as the cells that changed, and nothing else.
#include "support/excel_fixture.h"
#include "support/test_event_sink.h"
#include "support/scratch_dir.h"
#include "xlsx_file.h"

#include <ocidl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using excelsim::CellKind;
using excelsim::CellValue;
using excelsim::ExcelInstall;
namespace X = Excel;
using namespace std::chrono_literals;

// Events arrive on the watcher's thread: everything recorded is guarded.
class ChangeSink final : public TestEventSink {
public:
    struct Change {
        long row, column, cells;
        std::u16string text;
    };
    HRESULT OnInvoke(DISPID member, DISPPARAMS* params) override
    {
        if (member != X::dispidSheetChange || params->cArgs != 2)
            return S_OK;
        IDispatch* target = params->rgvarg[0].pdispVal;
        Change change;
        change.row = ExcelTest::Call(target, X::dispidRow, DISPATCH_PROPERTYGET).value.lVal;
        change.column = ExcelTest::Call(target, X::dispidColumn, DISPATCH_PROPERTYGET).value.lVal;
        change.cells = ExcelTest::Call(target, X::dispidCount, DISPATCH_PROPERTYGET).value.lVal;
        change.text = std::u16string(_bstr_t(ExcelTest::Call(target, X::dispidText, DISPATCH_PROPERTYGET).value));
        std::lock_guard<std::mutex> guard(lock_);
        changes_.push_back(change);
        return S_OK;
    }
    std::vector<Change> Changes()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return changes_;
    }

private:
    std::mutex lock_;
    std::vector<Change> changes_;
};

CellValue Text(const char16_t* text) { return CellValue{CellKind::Text, 0.0, false, 0, text}; }
CellValue Number(double number) { return CellValue{CellKind::Number, number, false, 0, {}}; }

class WorkbookWatcherTest : public ExcelTest {
protected:
    using Rows = std::vector<std::vector<CellValue>>;

    void SetUp() override
    {
        ExcelTest::SetUp();
        InstallExcel(ExcelInstall::Running);
        path_ = scratch_.File("book.xlsx");
        Write(path_, Rows{{Text(u"HANDLE"), Text(u"TAG")},
                          {Text(u"1A"), Text(u"P-1")},
                          {Text(u"1B"), Number(7)},
                          {Text(u"1C"), Text(u"P-3")}},
              {u"", u"h1", u"h2", u"h3"});
        std::string error;
        ASSERT_TRUE(excel_->Running()->OpenWorkbook(path_, error)) << error;
        app_ = Application();
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(app_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(__uuidof(X::AppEvents), &point_), S_OK);
        container->Release();
        sink_ = new ChangeSink;
        ASSERT_EQ(point_->Advise(sink_, &cookie_), S_OK);
    }
    void TearDown() override
    {
        // The watcher's thread is joined before anything it fires into goes.
        excel_->StopWatching();
        if (point_) {
            point_->Unadvise(cookie_);
            point_->Release();
        }
        if (sink_)
            sink_->Release();
        app_ = nullptr;
        ExcelTest::TearDown();
    }

    // `notes`: comments of column A from row 1 on (empty: none), where a
    // client keeps each row's identity.
    static void Write(const std::string& path, const Rows& rows, const std::vector<std::u16string>& notes = {})
    {
        excelsim::Workbook book;
        book.name = u"book.xlsx";
        auto sheet = std::make_shared<excelsim::Sheet>(u"Sheet1");
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                sheet->Update(static_cast<int>(r + 1), static_cast<int>(c + 1),
                              [&](excelsim::CellEdit& cell) { cell.SetValue(rows[r][c]); });
        for (std::size_t r = 0; r < notes.size(); ++r)
            if (!notes[r].empty())
                sheet->Update(static_cast<int>(r + 1), 1, [&](excelsim::CellEdit& cell) { cell.SetComment(notes[r]); });
        book.sheets.push_back(sheet);
        std::string error;
        ASSERT_TRUE(excelsim::WriteXlsx(book, path, error)) << error;
    }

    void Watch(std::chrono::milliseconds settle = 100ms)
    {
        std::string error;
        ASSERT_TRUE(excel_->WatchWorkbookFile(
            excel_->Running(), u"book.xlsx", path_,
            [this](const std::string& line) {
                std::lock_guard<std::mutex> guard(warningsLock_);
                warnings_.push_back(line);
            },
            error, excelsim::WatchOptions{settle, 3}))
            << error;
    }
    // Bounded: a watcher that never takes the save fails the test, not hangs it.
    bool WaitForSaves(int count, std::chrono::milliseconds limit = 5s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (excel_->SavesApplied() < count) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    std::vector<std::string> Warnings()
    {
        std::lock_guard<std::mutex> guard(warningsLock_);
        return warnings_;
    }
    std::optional<std::u16string> HeldNote(int row)
    {
        return excel_->Running()->With([&](excelsim::AppData& data) {
            auto cell = data.FindWorkbook(u"book.xlsx")->sheets[0]->Find(row, 1);
            return cell && cell->Comment() ? std::optional<std::u16string>(*cell->Comment()) : std::nullopt;
        });
    }
    CellValue Held(int row, int column)
    {
        return excel_->Running()->With([&](excelsim::AppData& data) {
            auto cell = data.FindWorkbook(u"book.xlsx")->sheets[0]->Find(row, column);
            return cell ? cell->Value() : CellValue{};
        });
    }

    ScratchDir scratch_;
    std::string path_;
    IDispatchPtr app_;
    IConnectionPoint* point_ = nullptr;
    ChangeSink* sink_ = nullptr;
    DWORD cookie_ = 0;
    std::mutex warningsLock_;
    std::vector<std::string> warnings_;
};

TEST_F(WorkbookWatcherTest, ASaveInPlaceFiresOnlyTheChangedCells)
{
    Watch();
    Write(path_, Rows{{Text(u"HANDLE"), Text(u"TAG")},
                      {Text(u"1A"), Text(u"P-1")},
                      {Text(u"1B"), Number(8)},
                      {Text(u"1C"), Text(u"P-3"), Text(u"new")}});
    ASSERT_TRUE(WaitForSaves(1));
    auto changes = sink_->Changes();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].row, 3);
    EXPECT_EQ(changes[0].column, 2);
    EXPECT_EQ(changes[0].text, u"8");
    EXPECT_EQ(changes[1].row, 4);
    EXPECT_EQ(changes[1].column, 3);
    EXPECT_EQ(changes[1].text, u"new");
    EXPECT_EQ(Held(3, 2), Number(8));
    EXPECT_TRUE(Warnings().empty());

    // The same contents saved again change nothing and say nothing.
    Write(path_, Rows{{Text(u"HANDLE"), Text(u"TAG")},
                      {Text(u"1A"), Text(u"P-1")},
                      {Text(u"1B"), Number(8)},
                      {Text(u"1C"), Text(u"P-3"), Text(u"new")}});
    ASSERT_TRUE(WaitForSaves(2));
    EXPECT_EQ(sink_->Changes().size(), 2u);
}

TEST_F(WorkbookWatcherTest, ASaveThroughARenamedTemporaryFileIsSeenAndRunsGoOutAsBlocks)
{
    Watch();
    const std::string temporary = scratch_.File(".~lock-book.tmp");
    Write(temporary, Rows{{Text(u"HANDLE"), Text(u"TAG"), Text(u"X"), Text(u"Y")},
                          {Text(u"1A"), Text(u"P-1")},
                          {Text(u"1B"), Number(7)},
                          {Text(u"1C")}});
    ASSERT_EQ(std::rename(temporary.c_str(), path_.c_str()), 0);
    ASSERT_TRUE(WaitForSaves(1));
    auto changes = sink_->Changes();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].row, 1); // C1:D1, one block
    EXPECT_EQ(changes[0].column, 3);
    EXPECT_EQ(changes[0].cells, 2);
    EXPECT_EQ(changes[1].row, 4); // B4 emptied
    EXPECT_EQ(changes[1].column, 2);
    EXPECT_EQ(changes[1].text, u"");
    EXPECT_EQ(Held(4, 2), CellValue{});
    EXPECT_EQ(Held(1, 4), Text(u"Y"));
}

TEST_F(WorkbookWatcherTest, AHalfWrittenFileIsNotReadAndAnUnreadableOneIsReportedOnce)
{
    Watch(150ms);
    const std::string temporary = scratch_.File("full.tmp");
    Write(temporary, Rows{{Text(u"HANDLE"), Text(u"TAG")}, {Text(u"1A"), Text(u"P-9")}, {Text(u"1B"), Number(7)},
                          {Text(u"1C"), Text(u"P-3")}});
    const std::string bytes = ReadFileBytes(temporary);
    {
        // A slow writer: half, a pause shorter than the settle time, the rest.
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size() / 2, file);
        std::fflush(file);
        std::this_thread::sleep_for(60ms);
        std::fwrite(bytes.data() + bytes.size() / 2, 1, bytes.size() - bytes.size() / 2, file);
        std::fclose(file);
    }
    ASSERT_TRUE(WaitForSaves(1));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(excel_->SavesApplied(), 1);
    ASSERT_EQ(sink_->Changes().size(), 1u);
    EXPECT_EQ(sink_->Changes()[0].text, u"P-9");
    EXPECT_TRUE(Warnings().empty());

    // A file that never becomes a package: tried, reported in one line, and
    // the workbook held stays as it was.
    WriteFileBytes(path_, bytes.substr(0, bytes.size() / 2));
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (Warnings().empty() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(600ms); // room for any further report
    auto warnings = Warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("book.xlsx"), std::string::npos);
    EXPECT_EQ(warnings[0].find('\n'), std::string::npos);
    EXPECT_EQ(Held(2, 2), Text(u"P-9"));
    EXPECT_EQ(sink_->Changes().size(), 1u);
}

TEST_F(WorkbookWatcherTest, SortedRowsChangeTheCellsWhoseValuesMoved)
{
    Watch();
    // Sorted by HANDLE, descending: the middle row keeps its place, the
    // first and last trade theirs.
    Write(path_,
          Rows{{Text(u"HANDLE"), Text(u"TAG")},
               {Text(u"1C"), Text(u"P-3")},
               {Text(u"1B"), Number(7)},
               {Text(u"1A"), Text(u"P-1")}},
          {u"", u"h3", u"h2", u"h1"});
    ASSERT_TRUE(WaitForSaves(1));
    auto changes = sink_->Changes();
    ASSERT_EQ(changes.size(), 2u); // rows 2 and 4, each a block of two cells
    EXPECT_EQ(changes[0].row, 2);
    EXPECT_EQ(changes[0].cells, 2);
    EXPECT_EQ(changes[0].text, u"1C");
    EXPECT_EQ(changes[1].row, 4);
    EXPECT_EQ(changes[1].text, u"1A");
    EXPECT_EQ(Held(2, 2), Text(u"P-3"));
    EXPECT_EQ(Held(3, 2), Number(7));
    EXPECT_EQ(Held(4, 2), Text(u"P-1"));
    // The rows' notes moved with them: a client reading a changed row's
    // identity finds the row's own.
    EXPECT_EQ(HeldNote(2), u"h3");
    EXPECT_EQ(HeldNote(3), u"h2");
    EXPECT_EQ(HeldNote(4), u"h1");
}

TEST_F(WorkbookWatcherTest, ACommentChangedAloneIsTakenWithoutAnEvent)
{
    Watch();
    Write(path_,
          Rows{{Text(u"HANDLE"), Text(u"TAG")},
               {Text(u"1A"), Text(u"P-1")},
               {Text(u"1B"), Number(7)},
               {Text(u"1C"), Text(u"P-3")}},
          {u"", u"h1", u"h9"});
    ASSERT_TRUE(WaitForSaves(1));
    EXPECT_TRUE(sink_->Changes().empty());
    EXPECT_EQ(HeldNote(3), u"h9");
    EXPECT_EQ(HeldNote(4), std::nullopt);
}

TEST_F(WorkbookWatcherTest, AWorksheetMissingFromTheSaveIsReportedAndKept)
{
    Watch();
    excelsim::Workbook book;
    book.name = u"book.xlsx";
    auto sheet = std::make_shared<excelsim::Sheet>(u"Renamed");
    sheet->Update(2, 2, [](excelsim::CellEdit& cell) { cell.SetValue(Text(u"other")); });
    book.sheets.push_back(sheet);
    std::string error;
    ASSERT_TRUE(excelsim::WriteXlsx(book, path_, error)) << error;
    ASSERT_TRUE(WaitForSaves(1));
    EXPECT_TRUE(sink_->Changes().empty());
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_NE(Warnings()[0].find("Sheet1"), std::string::npos);
    EXPECT_EQ(Held(2, 2), Text(u"P-1"));
}

TEST_F(WorkbookWatcherTest, ASaveIsInFlightFromItsFirstEventUntilTheGraceAfterItWasTaken)
{
    Watch(150ms);
    EXPECT_FALSE(excel_->SaveInFlight(300ms));
    Write(path_, Rows{{Text(u"HANDLE"), Text(u"TAG")}, {Text(u"1A"), Text(u"P-5")}});
    // Seen before the settle time has passed, not yet taken in.
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!excel_->SaveInFlight(300ms) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(excel_->SaveInFlight(300ms));
    ASSERT_TRUE(WaitForSaves(1));
    EXPECT_TRUE(excel_->SaveInFlight(300ms));
    std::this_thread::sleep_for(400ms);
    EXPECT_FALSE(excel_->SaveInFlight(300ms));
}

TEST_F(WorkbookWatcherTest, StoppingEndsTheThreadAndLaterSavesAreNotTaken)
{
    Watch();
    excel_->StopWatching();
    Write(path_, Rows{{Text(u"HANDLE"), Text(u"TAG")}, {Text(u"1A"), Text(u"changed")}});
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(sink_->Changes().empty());
    EXPECT_EQ(Held(2, 2), Text(u"P-1"));
}

} // namespace

namespace {

TEST_F(WorkbookWatcherTest, AFolderThatGoesIsReportedOnce)
{
    const std::string folder = scratch_.File("moved");
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(path_, folder + "/book.xlsx");
    std::string error;
    ASSERT_TRUE(excel_->WatchWorkbookFile(
        excel_->Running(), u"book.xlsx", folder + "/book.xlsx",
        [this](const std::string& line) {
            std::lock_guard<std::mutex> guard(warningsLock_);
            warnings_.push_back(line);
        },
        error))
        << error;
    std::filesystem::remove_all(folder);
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (Warnings().empty() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_NE(Warnings()[0].find("no longer followed"), std::string::npos);
    EXPECT_EQ(Held(2, 2), Text(u"P-1"));
}

} // namespace
