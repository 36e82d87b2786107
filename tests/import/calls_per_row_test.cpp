// The automation calls an import makes for each value row: on the real
// platform each one crosses into the spreadsheet program's process, so the
// count per row must stay what it is however cheap the calls become here.
#include "import_fixture.h"

#include "import/worksheet_import.h"
#include "res/resource.h"

#include "excel.tlh"

#include "support/automation_call_tally.h"

#include <map>

namespace {

std::string HandleOf(int i) { return std::to_string(1001 + i); }

class ImportCallsPerRow : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        DxfBuilder dxf;
        dxf.block("DOOR", {{"NUMBER", "Number", ""}, {"WIDTH", "Width", ""}});
        for (int i = 0; i < 11; ++i)
            dxf.insert(HandleOf(i), "DOOR", {{"NUMBER", "n"}, {"WIDTH", "w"}}, 1, 1);
        LoadDrawing(dxf.text());
        // Block name, two attributes and a property column with its marker.
        Header(1, "Block name");
        Header(2, "NUMBER");
        Header(3, "WIDTH");
        Header(4, "X", IDS_MARKER_X);
    }

    // The calls by member of an import of the first `rows` value rows, each
    // with both attributes edited.
    std::map<DISPID, std::uint64_t> Import(int rows)
    {
        for (int i = 0; i < rows; ++i) {
            Row(i + 2, HandleOf(i), {"N" + std::to_string(rows), "W" + std::to_string(rows)});
            Number(i + 2, 4, 1);
        }
        excel->ResetCallCounts();
        EXPECT_TRUE(ImportFromExcel(ImportOptions{.IgnoreProps = false}));
        std::map<DISPID, std::uint64_t> calls = CallsByMember(*excel);
        return calls;
    }
};

} // namespace

// Per row: the handle comment, then for each of the four columns and the
// empty ones that end the row its value, header cell, header comment and
// header text; the marker's text for the property column.
TEST_F(ImportCallsPerRow, EveryValueRowMakesTheSameCalls)
{
    const auto few = Import(3);
    const auto more = Import(11);
    const std::map<DISPID, std::uint64_t> perRow = CallsPerAddedRow(few, more, 8);
    const std::map<DISPID, std::uint64_t> expected = {
        {Excel::dispidItem, 13}, {Excel::dispidComment, 7}, {Excel::dispidText, 8}, {Excel::dispidValue, 6},
    };
    EXPECT_EQ(perRow, expected);
    EXPECT_EQ(AttributeText(HandleOf(10).c_str(), "NUMBER"), "N11");
}
