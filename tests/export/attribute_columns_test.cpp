// Each attribute's own text in the worksheet, whatever order the reference
// keeps its attributes in and whatever tags its block's definitions lack.
#include "export_fixture.h"
#include "support/corpus.h"
#include <dbdatabase.h>

#include "common/resource_strings.h"
#include "res/resource.h"

#include <fstream>
#include <sstream>

namespace {

using Texts = std::vector<std::string>;

class AttributeColumns : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        StartExcel();
    }

    void LoadCorpusFile(const std::string& name)
    {
        std::ifstream file(CorpusFolder() + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        std::ostringstream text;
        text << file.rdbuf();
        database = std::make_unique<AcDbDatabase>(false);
        ASSERT_EQ(ReadDxfText(*database, text.str(), name), Acad::eOk) << DxfErrorMessage(*database);
        drawingHost.setWorkingDatabase(database.get());
    }

    // The text in row `row` under the header cell that reads `label`.
    static std::string Under(const excelsim::Sheet* sheet, const std::string& label, int row = 2)
    {
        for (int column = 1; column <= 40; ++column)
            if (Text(sheet, 1, column) == label)
                return Text(sheet, row, column);
        ADD_FAILURE() << "no column " << label;
        return {};
    }

    Settings narrow = AttributesOnly();
};

} // namespace

TEST_F(AttributeColumns, TextsFollowTheirTagsAndTagsWithoutDefinitionGetColumnsOfTheirOwn)
{
    DxfDrawing drawing;
    drawing.header("$LUNITS", 70, "2").header("$LUPREC", 70, "0");
    drawing.block("B", {{"A", "A?", "dA", false}, {"B", "B?", "dB", false}, {"K", "K?", "constant", true}});
    const std::string r1 =
        drawing.insert({"B", "0", 1, 0, 0, 0, 1, 1, 1, {{"EXTRA", "x1"}, {"B", "b1"}, {"a", "a1"}}});
    const std::string r2 = drawing.insert({"B", "0", 2, 0, 0, 0, 1, 1, 1, {{"A", "a2"}, {"B", "b2"}}});
    const std::string r3 = drawing.insert(
        {"B", "0", 3, 0, 0, 0, 1, 1, 1, {{"OTHER", "o3"}, {"B", "b3"}, {"EXTRA", "x3"}, {"EXTRA", "y3"}}});
    Load(drawing);
    narrow.XCoord = true;
    narrow.ExportAttPrompts = true;
    Store(narrow);

    Gwell({"Export2", "B"});
    EXPECT_TRUE(messageBoxes.boxes.empty());
    const excelsim::Sheet* sheet = Sheet("B");
    ASSERT_NE(sheet, nullptr);
    // One header for every row of the block: the extra tags over all its
    // references, as many columns as one reference needs, before the
    // property columns; they have no prompt.
    EXPECT_EQ(Row(sheet, 1), (Texts{"A", "B", "EXTRA", "OTHER", "EXTRA", ResourceString(IDS_COLUMN_X)}));
    EXPECT_EQ(Row(sheet, 2), (Texts{"A?", "B?"}));
    EXPECT_EQ(Comment(sheet, 3, 1), r1);
    EXPECT_EQ(Row(sheet, 3), (Texts{"a1", "b1", "x1", "", "", "1"}));
    EXPECT_EQ(Comment(sheet, 4, 1), r2);
    EXPECT_EQ(Row(sheet, 4), (Texts{"a2", "b2", "", "", "", "2"}));
    EXPECT_EQ(Comment(sheet, 5, 1), r3);
    EXPECT_EQ(Row(sheet, 5), (Texts{"dA", "b3", "x3", "o3", "y3", "3"})) << "A missing: the definition's text";
}

TEST_F(AttributeColumns, CorpusDrawingsExportTheirReferencesOwnTexts)
{
    GW_SKIP_WITHOUT_CORPUS();
    Store(narrow);
    LoadCorpusFile("qcad_flange.dxf");
    Gwell({"Export2", "Title"});
    const excelsim::Sheet* title = Sheet("Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(Row(title, 1), (Texts{"Title", "Date", "Filename", "Scale"}));
    EXPECT_EQ(Row(title, 2), (Texts{"Flange", "11/10/2017", "flange.dxf", "1:1"}));

    // Reference 79C keeps its attributes in another order than the block's
    // definitions, and in the older versions one of them under a tag
    // (MULTI_LINE_ATT_001) that no definition has.
    for (const auto& [name, extra] : {std::pair{"acadsharp_sample_AC1009_ascii.dxf", true},
                                      std::pair{"acadsharp_sample_AC1018_ascii.dxf", true},
                                      std::pair{"acadsharp_sample_AC1032_ascii.dxf", false}}) {
        SCOPED_TRACE(name);
        LoadCorpusFile(name);
        Gwell({"Export2", "my_block_v2"});
        const excelsim::Sheet* sheet = ActiveSheet();
        ASSERT_NE(sheet, nullptr);
        int row = 2;
        while (row < 10 && Comment(sheet, row, 1) != "79C")
            ++row;
        ASSERT_LT(row, 10) << "no row of reference 79C";
        EXPECT_EQ(Under(sheet, "PRESET_ATT", row), "hello");
        EXPECT_EQ(Under(sheet, "VERIFY_ATT", row), "bla bla");
        if (extra) {
            EXPECT_EQ(Under(sheet, "MULTI_LINE_ATT_001", row), "my multi line text for the attrrib");
            EXPECT_EQ(Under(sheet, "MULTI_LINE_ATT", row), "");
        }
    }
    EXPECT_TRUE(messageBoxes.boxes.empty());
}
