// The program's AppEvents connection point and its SheetChange event.
#include "support/excel_fixture.h"
#include "support/test_event_sink.h"

#include <ocidl.h>

#include <string>
#include <vector>

namespace {

using excelsim::ExcelInstall;
namespace X = Excel;

// A client's event sink: records each SheetChange, reading the changed
// cell back from the program while the event is delivered.
class RecordingSink final : public TestEventSink {
public:
    struct Change {
        std::u16string sheet;
        long row, column;
        std::u16string value;
    };
    explicit RecordingSink(bool answersAppEvents = true) : TestEventSink(answersAppEvents) {}

    HRESULT OnInvoke(DISPID member, DISPPARAMS* params) override
    {
        if (member != X::dispidSheetChange || params->cArgs != 2)
            return S_OK;
        IDispatch* target = params->rgvarg[0].pdispVal; // arguments come last first
        IDispatch* sheet = params->rgvarg[1].pdispVal;
        Change change;
        change.sheet = std::u16string(_bstr_t(ExcelTest::Call(sheet, X::dispidName, DISPATCH_PROPERTYGET).value));
        change.row = ExcelTest::Call(target, X::dispidRow, DISPATCH_PROPERTYGET).value.lVal;
        change.column = ExcelTest::Call(target, X::dispidColumn, DISPATCH_PROPERTYGET).value.lVal;
        change.value = std::u16string(_bstr_t(ExcelTest::Call(target, X::dispidText, DISPATCH_PROPERTYGET).value));
        changes.push_back(change);
        return S_OK;
    }

    std::vector<Change> changes;
};

class ExcelEvents : public ExcelTest {
protected:
    void SetUp() override
    {
        ExcelTest::SetUp();
        InstallExcel(ExcelInstall::Running);
        app_ = Application();
        IDispatchPtr books = Get(app_, X::dispidWorkbooks);
        Call(books, X::dispidAdd, DISPATCH_METHOD);
        sheet_ = Get(app_, X::dispidActiveSheet);
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(app_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
        EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point_), CONNECT_E_NOCONNECTION);
        ASSERT_EQ(container->FindConnectionPoint(__uuidof(X::AppEvents), &point_), S_OK);
        container->Release();
    }
    void TearDown() override
    {
        if (point_)
            point_->Release();
        app_ = nullptr;
        sheet_ = nullptr;
        ExcelTest::TearDown();
    }

    IDispatchPtr app_, sheet_;
    IConnectionPoint* point_ = nullptr;
};

TEST_F(ExcelEvents, ChangesThroughAutomationAndByTheUserReachTheSink)
{
    auto* sink = new RecordingSink;
    DWORD cookie = 0;
    ASSERT_EQ(point_->Advise(sink, &cookie), S_OK);
    Put(CellOf(sheet_, 3, 2), X::dispidValue, _variant_t(u"P-1"));
    std::string error;
    ASSERT_TRUE(excel_->Running()->EditCell(u"Book1", u"sheet1", 7, 4, u"12,0", error)) << error;
    EXPECT_FALSE(excel_->Running()->EditCell(u"Book1", u"Nope", 1, 1, u"x", error));
    ASSERT_EQ(sink->changes.size(), 2u);
    EXPECT_EQ(sink->changes[0].sheet, u"Sheet1");
    EXPECT_EQ(sink->changes[0].row, 3);
    EXPECT_EQ(sink->changes[0].column, 2);
    EXPECT_EQ(sink->changes[0].value, u"P-1");
    EXPECT_EQ(sink->changes[1].row, 7);
    EXPECT_EQ(sink->changes[1].value, u"120"); // typed text goes through the locale like any entry

    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    EXPECT_EQ(point_->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    Put(CellOf(sheet_, 1, 1), X::dispidValue, _variant_t(u"after"));
    EXPECT_EQ(sink->changes.size(), 2u);
    sink->Release();
}

TEST_F(ExcelEvents, ASinkWithoutTheEventInterfaceIsRefused)
{
    auto* sink = new RecordingSink(false);
    DWORD cookie = 0;
    EXPECT_EQ(point_->Advise(sink, &cookie), CONNECT_E_CANNOTCONNECT);
    sink->Release();
}

TEST_F(ExcelEvents, QuittingLetsGoOfTheSinks)
{
    auto* sink = new RecordingSink;
    DWORD cookie = 0;
    ASSERT_EQ(point_->Advise(sink, &cookie), S_OK);
    sink->Release(); // only the program holds it now
    LONG before = ComLiveObjectCount();
    excel_->Quit(excel_->Running());
    EXPECT_LT(ComLiveObjectCount(), before);
    EXPECT_EQ(point_->Unadvise(cookie), RPC_E_DISCONNECTED);
}

} // namespace
