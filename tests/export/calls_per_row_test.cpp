// The automation calls an export makes for each value row. On the real
// platform every call crosses into the spreadsheet program's process, so the
// count per row is what an export's speed there comes down to: making the
// calls cheaper here must not change which calls are made.
#include "export_fixture.h"

#include <excel.tlh>

#include "support/automation_call_tally.h"

#include <map>

namespace {

class ExportCallsPerRow : public ExportFixture {
protected:
    // The calls by member of one export of `references` references of one
    // block with three attributes.
    std::map<DISPID, std::uint64_t> Export(int references, const Settings& settings)
    {
        DxfDrawing drawing;
        drawing.block("VALVE", {{"TAG", "Tag?", "", false}, {"SIZE", "Size?", "", false}, {"NOTE", "Note?", "", false}});
        for (int i = 0; i < references; ++i)
            drawing.insert({"VALVE", "0", i * 1.0, 2, 0, 0, 1, 1, 1,
                            {{"TAG", "V" + std::to_string(i)}, {"SIZE", "DN50"}, {"NOTE", ""}}});
        Load(drawing);
        Store(settings);
        ResetModuleState();
        StartExcel();
        excel->ResetCallCounts();
        Gwell({"Export2", "VALVE"});
        EXPECT_TRUE(messageBoxes.boxes.empty());
        std::map<DISPID, std::uint64_t> calls = CallsByMember(*excel);
        excel.reset();
        return calls;
    }

    // What each further value row adds, member by member.
    std::map<DISPID, std::uint64_t> PerRow(const Settings& settings)
    {
        const auto few = Export(3, settings);
        const auto more = Export(11, settings);
        return CallsPerAddedRow(few, more, 8);
    }
};

} // namespace

// The default options: block name, three attributes, position, rotation,
// scale and layer in twelve cells as text, the handle as a comment, and the
// columns fitted after every row.
TEST_F(ExportCallsPerRow, DefaultOptionsMakeTheSameCallsForEveryValueRow)
{
    const std::map<DISPID, std::uint64_t> expected = {
        {Excel::dispidItem, 13},       {Excel::dispidNumberFormat, 12}, {Excel::dispidValue, 12},
        {Excel::dispidComment, 1},     {Excel::dispidAddComment, 1},    {Excel::dispidCells, 1},
        {Excel::dispidActiveSheet, 2}, {Excel::dispidColumns, 1},       {Excel::dispidAutoFit, 1},
    };
    EXPECT_EQ(PerRow(Settings{}), expected);
}

// Without the text format and the fitting, the row is its cells and its comment.
TEST_F(ExportCallsPerRow, PlainCellsWithoutFittingDropOnlyThoseCalls)
{
    Settings settings = AttributesOnly();
    settings.AsText = false;
    settings.NoAutofit = true;
    const std::map<DISPID, std::uint64_t> expected = {
        {Excel::dispidItem, 4},    {Excel::dispidValue, 3},       {Excel::dispidComment, 1},
        {Excel::dispidAddComment, 1}, {Excel::dispidCells, 1},   {Excel::dispidActiveSheet, 1},
    };
    EXPECT_EQ(PerRow(settings), expected);
}
