// Every automation call of a small export, failed in turn: each failure is
// reported once, and nothing is left alive in the program's COM objects or
// open in the drawing.
#include "export_fixture.h"
#include <dbdatabase.h>

#include <excel.tlh>

namespace {

class ExportFaults : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        DxfDrawing drawing;
        drawing.block("DOOR", {{"NUMBER", "Number?", "0", false}});
        drawing.insert({"DOOR", "0", 1, 2, 3, 0, 1, 1, 1, {{"NUMBER", "D1"}}});
        drawing.insert({"DOOR", "0", 4, 5, 6, 0, 1, 1, 1, {{"NUMBER", "D2"}}});
        Load(drawing);
        Settings settings;
        settings.Scale = settings.Rotation = false;
        settings.ExportAttPrompts = true;
        Store(settings);
    }

    // One export into a freshly started program; `fail` arms the fault.
    void ExportOnce(const std::function<void()>& fail)
    {
        StartExcel();
        excel->ResetCallCounts();
        fail();
        Gwell({"Export2", "DOOR"});
    }
};

// The members the module calls, by id.
const DISPID kMembers[] = {
    Excel::dispidValue,      Excel::dispidBold,      Excel::dispidName,        Excel::dispidCount,
    Excel::dispidText,       Excel::dispidFont,      Excel::dispidItem,        Excel::dispidAdd,
    Excel::dispidNumberFormat, Excel::dispidRange,   Excel::dispidAutoFit,     Excel::dispidCells,
    Excel::dispidColumns,    Excel::dispidEntireRow, Excel::dispidActivate,    Excel::dispidActiveSheet,
    Excel::dispidActiveWorkbook, Excel::dispidVisible, Excel::dispidWorkbooks, Excel::dispidComment,
    Excel::dispidWorksheets, Excel::dispidAddComment,
};

} // namespace

TEST_F(ExportFaults, EveryFailedCallIsReportedAndLeavesNothingBehind)
{
    ExportOnce([] {});
    ASSERT_TRUE(messageBoxes.boxes.empty());
    std::vector<std::pair<DISPID, std::uint64_t>> calls;
    std::uint64_t total = 0;
    for (DISPID member : kMembers) {
        calls.emplace_back(member, excel->CallCount(member));
        total += excel->CallCount(member);
    }
    ASSERT_EQ(total, excel->TotalCalls()) << "the export called a member this test does not know";
    ASSERT_GT(total, 40u);

    const HRESULT injected = static_cast<HRESULT>(0x800A1234);
    int runs = 0;
    for (const auto& entry : calls) {
        const DISPID member = entry.first;
        const std::uint64_t count = entry.second;
        for (std::uint64_t nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE("member " + std::to_string(member) + ", call " + std::to_string(nth));
            excel.reset();
            ASSERT_EQ(ComLiveObjectCount(), liveAtStart);
            messageBoxes.boxes.clear();
            ExportOnce([&] { runtime.FailDispatch(member, static_cast<int>(nth), injected, u"Injected", u"refused"); });

            ASSERT_EQ(messageBoxes.boxes.size(), 1u);
            const std::string& text = messageBoxes.boxes[0].text;
            EXPECT_NE(text.find("COM error!"), std::string::npos) << text;
            EXPECT_NE(text.find("Code = 800a1234"), std::string::npos) << text;
            EXPECT_NE(text.find("Description = refused"), std::string::npos) << text;
            EXPECT_EQ(OpenObjectCount(*database), 0);
            // Only the program's own application object stays alive.
            excel.reset();
            EXPECT_EQ(ComLiveObjectCount(), liveAtStart);
            ++runs;
        }
    }
    EXPECT_EQ(static_cast<std::uint64_t>(runs), total);
    RecordProperty("failed_calls", runs);
}
