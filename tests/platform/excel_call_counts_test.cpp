// The counts the leak checks and the calls-per-row tests rely on: range
// objects (one is made on nearly every automation call) are counted live and
// referenced exactly however they are made and released (many at once, on
// other threads, one after another for different cells), and the call
// counter counts every member id.
#include "support/excel_fixture.h"

#include <com_object.h>
#include <leak_counters.h>

#include <thread>
#include <vector>

namespace {

namespace X = Excel;

class RangeCountTest : public ExcelTest {
protected:
    void SetUp() override
    {
        ExcelTest::SetUp();
        InstallExcel(excelsim::ExcelInstall::Running);
        IDispatchPtr app = Application();
        Call(Get(app, X::dispidWorkbooks), X::dispidAdd, DISPATCH_METHOD);
        sheet_ = Get(Get(app, X::dispidActiveWorkbook), X::dispidActiveSheet);
    }
    void TearDown() override
    {
        sheet_ = nullptr;
        ExcelTest::TearDown();
    }

    static long LongOf(IDispatch* range, DISPID member)
    {
        Reply reply = Call(range, member, DISPATCH_PROPERTYGET);
        EXPECT_EQ(reply.hr, S_OK);
        return reply.value.vt == VT_I4 ? reply.value.lVal : -1;
    }

    IDispatchPtr sheet_;
};

TEST_F(RangeCountTest, EachRangeAnswersForItsOwnCellOnly)
{
    {
        IDispatchPtr first = CellOf(sheet_, 1, 1);
        ASSERT_EQ(Put(first, X::dispidValue, _variant_t(u"first")), S_OK);
        ASSERT_EQ(Put(first, X::dispidNumberFormat, _variant_t(u"@")), S_OK);
    }
    IDispatchPtr second = CellOf(sheet_, 3, 2);
    EXPECT_EQ(LongOf(second, X::dispidRow), 3);
    EXPECT_EQ(LongOf(second, X::dispidColumn), 2);
    EXPECT_EQ(Call(second, X::dispidValue, DISPATCH_PROPERTYGET).value.vt, VT_EMPTY);
    Reply format = Call(second, X::dispidNumberFormat, DISPATCH_PROPERTYGET);
    EXPECT_EQ(_bstr_t(format.value), _bstr_t(u"General"));
    ASSERT_EQ(Put(second, X::dispidValue, _variant_t(u"second")), S_OK);
    second = nullptr;
    IDispatchPtr columns = Get(sheet_, X::dispidColumns);
    EXPECT_EQ(Call(columns, X::dispidAutoFit, DISPATCH_METHOD).hr, S_OK);
    columns = nullptr;
    IDispatchPtr cell = CellOf(sheet_, 3, 2);
    // A single cell cannot be autofitted, whole columns can.
    EXPECT_EQ(Call(cell, X::dispidAutoFit, DISPATCH_METHOD).hr, static_cast<HRESULT>(0x800A03EC));
    EXPECT_EQ(_bstr_t(Call(CellOf(sheet_, 1, 1), X::dispidText, DISPATCH_PROPERTYGET).value), _bstr_t(u"first"));
    EXPECT_EQ(_bstr_t(Call(cell, X::dispidText, DISPATCH_PROPERTYGET).value), _bstr_t(u"second"));
}

TEST_F(RangeCountTest, LiveObjectsAndReferencesStayExact)
{
    const LeakCounters before = CurrentLeakCounters();
    {
        // Many ranges alive at once, then all released but one.
        std::vector<IDispatchPtr> held;
        for (long row = 1; row <= 40; ++row)
            held.push_back(CellOf(sheet_, row, 1));
        EXPECT_EQ(ComLiveObjectCount(), before.comObjects + 40);
        IDispatchPtr extra = held[5]; // one more reference to one of them
        EXPECT_EQ(CurrentLeakCounters().comReferences, before.comReferences + 41);
        held.clear();
        EXPECT_EQ(ComLiveObjectCount(), before.comObjects + 1);
        EXPECT_EQ(LongOf(extra, X::dispidRow), 6);
    }
    EXPECT_EQ(ComLiveObjectCount(), before.comObjects);
    EXPECT_EQ(CurrentLeakCounters().comReferences, before.comReferences);
    for (long row = 1; row <= 40; ++row) {
        IDispatchPtr cell = CellOf(sheet_, row, 2);
        EXPECT_EQ(ComLiveObjectCount(), before.comObjects + 1);
    }
    EXPECT_EQ(ComLiveObjectCount(), before.comObjects);
    EXPECT_EQ(CurrentLeakCounters().comReferences, before.comReferences);
}

TEST_F(RangeCountTest, RangesReleasedOnOtherThreadsAreCountedOnce)
{
    const LONG before = ComLiveObjectCount();
    std::vector<IDispatchPtr> made;
    for (long row = 1; row <= 20; ++row)
        made.push_back(CellOf(sheet_, row, 1));
    // Released on a thread of their own, which then makes and drops its own.
    std::thread other([&] {
        made.clear();
        for (long row = 1; row <= 20; ++row) {
            IDispatchPtr cell = CellOf(sheet_, row, 3);
            Put(cell, X::dispidValue, _variant_t(row));
        }
    });
    other.join();
    EXPECT_EQ(ComLiveObjectCount(), before);
    for (long row = 1; row <= 20; ++row)
        EXPECT_EQ(LongOf(CellOf(sheet_, row, 3), X::dispidRow), row);
    EXPECT_EQ(ComLiveObjectCount(), before);
}

using CallCounterTest = LeakCheckedTest;

TEST_F(CallCounterTest, EveryMemberIdIsCountedAndTotalled)
{
    excelsim::CallCounter counter;
    counter.Count(X::dispidValue);
    counter.Count(X::dispidValue);
    counter.Count(DISPID_VALUE);
    counter.Count(X::dispidSheetChange);
    counter.Count(0x10000); // beyond the program's common ids
    counter.Count(-4);      // a standard negative id
    EXPECT_EQ(counter.Of(X::dispidValue), 2u);
    EXPECT_EQ(counter.Of(DISPID_VALUE), 1u);
    EXPECT_EQ(counter.Of(X::dispidSheetChange), 1u);
    EXPECT_EQ(counter.Of(0x10000), 1u);
    EXPECT_EQ(counter.Of(-4), 1u);
    EXPECT_EQ(counter.Of(X::dispidItem), 0u);
    EXPECT_EQ(counter.Total(), 6u);
    counter.Reset();
    EXPECT_EQ(counter.Total(), 0u);
    EXPECT_EQ(counter.Of(X::dispidValue), 0u);
    EXPECT_EQ(counter.Of(0x10000), 0u);
}

} // namespace
