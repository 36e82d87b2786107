// The live link with real threads: the sink on its worker, edits made as the
// spreadsheet's user, and Import2 writing them into the drawing.
#include "import_fixture.h"

#include "app/gwell_app.h"
#include "export/export.h"
#include "import/import.h"
#include "livelink/livelink.h"
#include "livelink/app_event_handler.h"
#include "common/module_state.h"
#include "livelink/live_link.h"
#include "res/resource.h"
#include "support/dxf_drawing.h"
#include "registry_context.h"
#include "synch.h"
#include "app/module_paths.h"

#include <comdef.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
constexpr SCODE kNotAvailable = static_cast<SCODE>(0x800A07FA); // #N/A

std::vector<CellChange> DrainQueue()
{
    std::vector<CellChange> changes;
    while (auto change = TheModuleState().changeQueue.TakeNewest())
        changes.insert(changes.begin(), *change);
    return changes;
}

// Block DOOR with NUMBER and WIDTH; references 1001 and 1002.
std::string Drawing()
{
    DxfBuilder dxf;
    dxf.block("DOOR", {{"NUMBER", "Number", ""}, {"WIDTH", "Width", ""}});
    dxf.insert("1001", "DOOR", {{"NUMBER", "n1"}, {"WIDTH", "w1"}}, 1, 1);
    dxf.insert("1002", "DOOR", {{"NUMBER", "n2"}, {"WIDTH", "w2"}}, 4, 4);
    return dxf.text();
}

class LiveLink : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        TheModuleState().changeQueue.Clear();
        TheModuleState().importRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        LoadDrawing(Drawing());
        // What export writes for the two references.
        Header(1, "Block name");
        Header(2, "NUMBER");
        Header(3, "WIDTH");
        Header(4, "X", IDS_MARKER_X);
        Text(2, 1, "DOOR");
        Row(2, "1001", {"n1", "w1", "1"});
        Text(3, 1, "DOOR");
        Row(3, "1002", {"n2", "w2", "4"});
    }
    void TearDown() override
    {
        StopLiveLink();
        EXPECT_EQ(ModuleLockCount(), 0) << "a sink outlived its worker";
        TheModuleState().changeQueue.Clear();
        CloseHandle(TheModuleState().importRunning);
        TheModuleState().importRunning = nullptr;
        ImportTest::TearDown();
    }

    std::u16string BookName() const
    {
        return app->With([&](excelsim::AppData&) { return book->name; });
    }
    // The user types `text` into a cell of the first sheet; true when the
    // program took it.
    bool Edit(int row, int column, const std::u16string& text, const std::u16string& sheet = u"Sheet1")
    {
        std::string error;
        return app->EditCell(BookName(), sheet, row, column, text, error);
    }
};

TEST_F(LiveLink, TypingIntoACellQueuesItsColumnRowSheetAndBook)
{
    ASSERT_TRUE(ConnectLiveLink());
    EXPECT_TRUE(LiveLinkWorkerStarted());
    ASSERT_TRUE(Edit(7, 3, u"x"));
    // The program's event call returns once the worker has dispatched it.
    EXPECT_EQ(DrainQueue(), (std::vector<CellChange>{{3, 7, "Sheet1", "Book1"}}));
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(LiveLink, DisconnectStopsQueuingAndConnectAgainReusesTheWorker)
{
    ASSERT_TRUE(ConnectLiveLink());
    const int handles = OpenKernelHandleCount();
    EXPECT_TRUE(DisconnectLiveLink());
    ASSERT_TRUE(Edit(2, 2, u"a"));
    EXPECT_TRUE(DrainQueue().empty()) << "a disabled sink queues nothing";
    // Connect twice: one worker; the sink is disabled and enabled again.
    DisconnectLiveLink();
    ASSERT_TRUE(ConnectLiveLink());
    DisconnectLiveLink();
    ASSERT_TRUE(ConnectLiveLink());
    EXPECT_EQ(OpenKernelHandleCount(), handles) << "no second worker";
    ASSERT_TRUE(Edit(2, 2, u"b"));
    EXPECT_EQ(DrainQueue().size(), 1u) << "one subscription only, so one change";
}

TEST_F(LiveLink, ConnectWithTheProgramClosedSubscribesOnceItRuns)
{
    excel->Quit(app);
    EXPECT_FALSE(ConnectLiveLink()); // Enable's lookup failure; nothing shown
    EXPECT_TRUE(messageBoxes.boxes.empty());
    std::shared_ptr<excelsim::ExcelApp> second = excel->Start();
    ASSERT_NE(second, nullptr);
    auto secondBook = second->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
    DisconnectLiveLink();
    ASSERT_TRUE(ConnectLiveLink());
    std::string error;
    const std::u16string name = second->With([&](excelsim::AppData&) { return secondBook->name; });
    ASSERT_TRUE(second->EditCell(name, u"Sheet1", 1, 1, u"q", error)) << error;
    EXPECT_EQ(DrainQueue().size(), 1u);
}

TEST_F(LiveLink, QuittingTheProgramWithTheLinkOnLeavesTheHostWorking)
{
    ASSERT_TRUE(ConnectLiveLink());
    excel->Quit(app);
    DisconnectLiveLink(); // the program is gone: unsubscribing fails quietly
    EXPECT_TRUE(LiveLinkSinkHeld()) << "the sink itself is alive; only the program went";
    std::shared_ptr<excelsim::ExcelApp> second = excel->Start();
    auto secondBook = second->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
    ASSERT_TRUE(ConnectLiveLink());
    std::string error;
    const std::u16string name = second->With([&](excelsim::AppData&) { return secondBook->name; });
    ASSERT_TRUE(second->EditCell(name, u"Sheet1", 4, 2, u"q", error)) << error;
    EXPECT_EQ(DrainQueue().size(), 1u);
}

TEST_F(LiveLink, AWorkerThatCannotMarshalItsSinkDoesNotHangConnect)
{
    runtime.FailCall(ComCall::CoMarshalInterThreadInterfaceInStream, 1, E_OUTOFMEMORY);
    const auto start = Clock::now();
    EXPECT_FALSE(ConnectLiveLink());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(LiveLinkWorkerStarted());
    EXPECT_FALSE(LiveLinkSinkHeld());
    // A later Connect finds the worker recorded and has no sink to enable.
    ConnectLiveLink();
    EXPECT_FALSE(LiveLinkSinkHeld());
    ASSERT_TRUE(Edit(2, 2, u"a"));
    EXPECT_TRUE(DrainQueue().empty());
}

TEST_F(LiveLink, UnloadWithTheLinkOnEndsTheWorkerPromptly)
{
    const int handlesBefore = OpenKernelHandleCount();
    ASSERT_TRUE(ConnectLiveLink());
    ASSERT_TRUE(Edit(2, 2, u"a"));
    const auto start = Clock::now();
    StopLiveLink();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(LiveLinkWorkerStarted());
    EXPECT_EQ(ModuleLockCount(), 0) << "the sink went with its worker";
    EXPECT_EQ(OpenKernelHandleCount(), handlesBefore) << "thread and signals closed";
    // The worker unsubscribed before it went: the program keeps no connection.
    std::vector<IDispatch*> sinks = app->SinkSnapshot();
    EXPECT_TRUE(sinks.empty());
    for (IDispatch* sink : sinks)
        sink->Release();
    ASSERT_TRUE(Edit(2, 2, u"b"));
    EXPECT_EQ(DrainQueue().size(), 1u) << "only the edit made while the link was on";
}

TEST_F(LiveLink, EditsImportIntoTheMatchingAttributeNewestFirst)
{
    ASSERT_TRUE(ConnectLiveLink());
    ASSERT_TRUE(Edit(2, 2, u"N-100"));
    ASSERT_TRUE(Edit(3, 3, u"90"));
    ASSERT_TRUE(Edit(3, 2, u""));
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 3u);
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 0u);
    EXPECT_EQ(WaitForSingleObject(TheModuleState().importRunning, 0), WAIT_TIMEOUT) << "cleared at the end";
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "N-100");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "w1");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "90");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "") << "a cleared cell empties the attribute";
}

TEST_F(LiveLink, APasteOverSeveralCellsImportsEveryCellOfIt)
{
    ASSERT_TRUE(ConnectLiveLink());
    std::string error;
    ASSERT_TRUE(app->PasteCells(BookName(), u"Sheet1", 2, 2, {{u"P1", u"Q1"}, {u"P2", u"Q2"}}, error)) << error;
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 4u) << "one change per pasted cell";
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "P1");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "Q1");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "P2");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "Q2");
}

TEST_F(LiveLink, ClearingAColumnToTheSheetsEndQueuesOnlyTheUsedRowsAndEmptiesThem)
{
    ASSERT_TRUE(ConnectLiveLink());
    std::string error;
    // C2 down to the last row of the sheet, below the header.
    ASSERT_TRUE(app->ClearCells(BookName(), u"Sheet1", 2, 3, 0, 3, error)) << error;
    // Rows 2 and 3 are in use; the other 65533 rows are not queued.
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 2u);
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n1");
}

TEST_F(LiveLink, SwitchingAndClosingWorkbooksQueueNothing)
{
    ASSERT_TRUE(ConnectLiveLink());
    std::string error;
    ASSERT_TRUE(app->ActivateSheet(BookName(), u"Sheet1", error)) << error;
    ASSERT_TRUE(app->CloseWorkbook(BookName(), error)) << error;
    EXPECT_TRUE(DrainQueue().empty());
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(LiveLink, AnUnreadableHandleIsTriedThreeTimesThenDropped)
{
    Comment(2, 1, ""); // a handle comment without text
    Text(2, 2, "never");
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"});
    auto start = Clock::now();
    EXPECT_TRUE(ImportChanges());
    // Three attempts, each followed by a 100 ms wait.
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n1");

    // A comment whose text fails to read once is read again and used.
    Comment(2, 1, "1001");
    runtime.FailDispatch(Excel::dispidText, 1, E_FAIL);
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"});
    start = Clock::now();
    EXPECT_TRUE(ImportChanges());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "never");
}

TEST_F(LiveLink, RowsWithoutHandleAndPropertyColumnsChangeNothing)
{
    Text(5, 2, "loose");
    Text(1, 5, ""); // a column without header text
    TheModuleState().changeQueue.Append({2, 5, "Sheet1", "Book1"}); // no handle comment in row 5
    TheModuleState().changeQueue.Append({4, 2, "Sheet1", "Book1"}); // the X column
    Text(2, 5, "stray");
    TheModuleState().changeQueue.Append({5, 2, "Sheet1", "Book1"}); // header without text
    TheModuleState().changeQueue.Append({2, 2, "Gone", "Book1"});   // no such sheet
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Nope"});  // no such workbook
    Text(2, 2, "kept");
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"}); // the one real change, taken first
    const auto start = Clock::now();
    EXPECT_TRUE(ImportChanges());
    // A row without handle is dropped at once: no 100 ms waits.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "kept");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "w1");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "n2");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "w2");
}

TEST_F(LiveLink, AnErrorValueEndsTheRunAndTheRestWaitForTheNext)
{
    TheModuleState().changeQueue.Append({3, 2, "Sheet1", "Book1"}); // imported by the next run
    Error(2, 2, kNotAvailable);
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"}); // newest: taken first, fails
    EXPECT_THROW(ImportChanges(), _com_error);
    EXPECT_EQ(WaitForSingleObject(TheModuleState().importRunning, 0), WAIT_TIMEOUT) << "cleared on the way out";
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 1u) << "the failed change is gone, the other stays";
    Text(2, 3, "W-2");
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "W-2");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n1");
}

TEST_F(LiveLink, ChangesInOtherBooksAndSheetsAreFoundByName)
{
    AddSheet();
    Header(2, "NUMBER", 0, 1);
    Row(2, "1002", {"from-second-sheet"}, 1);
    ActivateSheet(0);
    std::shared_ptr<excelsim::Workbook> other = app->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
    const std::string sheetName = app->With([&](excelsim::AppData&) {
        std::u16string name = book->sheets[1]->Name();
        return std::string(name.begin(), name.end());
    });
    TheModuleState().changeQueue.Append({2, 2, sheetName, "Book1"});
    EXPECT_TRUE(ImportChanges()); // Book2 is active now, Book1's active sheet is the first
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "from-second-sheet");
}

TEST_F(LiveLink, TwoChangesOfOneCellBothImportItsCurrentValue)
{
    Text(2, 2, "final");
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"});
    TheModuleState().changeQueue.Append({2, 2, "Sheet1", "Book1"});
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "final");
    // With an empty queue Import2 changes nothing and leaves the signal clear.
    EXPECT_TRUE(ImportChanges());
    EXPECT_EQ(WaitForSingleObject(TheModuleState().importRunning, 0), WAIT_TIMEOUT);
}

TEST_F(LiveLink, UnconvertibleRangeShowsTheSinkErrorBox)
{
    // Neither argument is a range of a worksheet: both attempts fail.
    auto* handler = new AppEventHandler;
    IDispatch* events = handler->EventFace();
    IDispatchPtr sheet;
    {
        IUnknown* running = nullptr;
        ASSERT_EQ(GetActiveObject(Excel::CLSID_Application, nullptr, &running), S_OK);
        IDispatchPtr application(running);
        running->Release();
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        ASSERT_EQ(application->Invoke(Excel::dispidActiveSheet, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                                      nullptr, nullptr),
                  S_OK);
        sheet = IDispatchPtr(result.pdispVal);
        VariantClear(&result);
    }
    VARIANT args[2];
    args[0].vt = VT_DISPATCH;
    args[0].pdispVal = sheet;
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = sheet;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(events->Invoke(Excel::dispidSheetChange, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                             nullptr),
              S_OK) << "the program is told success whatever happened";
    EXPECT_TRUE(DrainQueue().empty());
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    // Other events are accepted and ignored.
    EXPECT_EQ(events->Invoke(0x61D, GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(messageBoxes.boxes.size(), 1u);
    handler->Release();
}

TEST_F(LiveLink, TheSinkAnswersForItsFacesAndNothingElse)
{
    auto* handler = new AppEventHandler;
    IDispatch* events = handler->EventFace();
    void* object = nullptr;
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, __uuidof(Excel::AppEvents)}) {
        ASSERT_EQ(events->QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<void*>(events));
        events->Release();
    }
    EXPECT_EQ(events->QueryInterface(IID_IAppEventHandler, &object), E_NOINTERFACE);
    UINT count = 0;
    EXPECT_EQ(events->GetTypeInfoCount(&count), E_NOTIMPL);
    DISPID id = 0;
    EXPECT_EQ(events->GetIDsOfNames(GUID_NULL, nullptr, 0, 0, &id), E_NOTIMPL);
    ASSERT_EQ(handler->QueryInterface(IID_IAppEventHandler, &object), S_OK);
    handler->Release();
    // Disable on a disabled object does nothing; Enable without the program
    // returns the lookup failure and subscribes nothing.
    EXPECT_EQ(handler->Disable(), S_OK);
    excel->Quit(app);
    EXPECT_EQ(handler->Enable(), MK_E_UNAVAILABLE);
    EXPECT_EQ(handler->AdviseCookie(), 0xFEFEFEFEu);
    handler->Release();
}

} // namespace

namespace {

std::string ClassesRootValue(const std::string& path, const char* name = nullptr)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LSTATUS status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

class ComServerRegistration : public AttachedModuleFixture {
protected:
    void SetUp() override
    {
        registry.Install(); // before the attach, which registers
        AttachedModuleFixture::SetUp();
    }
    RegistryContext registry;
};

TEST_F(ComServerRegistration, AttachRegistersTheClassAndItsTypeLibrary)
{
    const std::string clsid = "CLSID\\{BF62E005-EC31-11D3-BAA0-002018640C96}";
    EXPECT_EQ(ClassesRootValue("Gwell.AppEventHandler.1"), "AppEventHandler Class");
    EXPECT_EQ(ClassesRootValue("Gwell.AppEventHandler.1\\CLSID"), "{BF62E005-EC31-11D3-BAA0-002018640C96}");
    EXPECT_EQ(ClassesRootValue("Gwell.AppEventHandler\\CurVer"), "Gwell.AppEventHandler.1");
    EXPECT_EQ(ClassesRootValue(clsid), "AppEventHandler Class");
    EXPECT_EQ(ClassesRootValue(clsid + "\\ProgID"), "Gwell.AppEventHandler.1");
    EXPECT_EQ(ClassesRootValue(clsid + "\\VersionIndependentProgID"), "Gwell.AppEventHandler");
    EXPECT_EQ(ClassesRootValue(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ClassesRootValue(clsid + "\\InprocServer32"), ModulePathOf(fakeModule));
    EXPECT_NE(ModulePathOf(fakeModule).find(":\\"), std::string::npos) << "the full path of the module";
    EXPECT_EQ(ClassesRootValue(clsid + "\\TypeLib"), "{1867BCA3-EA1B-11D3-BA98-002018640C96}");
    EXPECT_NE(ClassesRootValue(clsid + "\\Programmable"), "<no key>");
    EXPECT_EQ(ClassesRootValue("TypeLib\\{1867BCA3-EA1B-11D3-BA98-002018640C96}\\1.0"), "Gwell 1.0 Type Library");
    EXPECT_EQ(ClassesRootValue("Interface\\{BF62E004-EC31-11D3-BAA0-002018640C96}"), "IAppEventHandler Interface");
}

} // namespace
