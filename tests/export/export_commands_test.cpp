// The export keywords from the prompt to the finished worksheets.
#include "export_fixture.h"

#include "common/resource_strings.h"
#include "export/reference_filters.h"
#include "res/resource.h"

namespace {

using Texts = std::vector<std::string>;

class ExportCommands : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        DxfDrawing drawing;
        drawing.header("$LUNITS", 70, "2").header("$LUPREC", 70, "0");
        drawing.layer("Doors");
        drawing.block("DOOR", {{"NUMBER", "Number?", "0", false}, {"WIDTH", "Width?", "0.8", false}})
            .block("WINDOW", {{"TAG", "Tag?", "W", false}})
            .block("PLAIN");
        door1 = drawing.insert({"DOOR", "Doors", 1, 2, 0, 0, 1, 1, 1, {{"NUMBER", "D1"}, {"WIDTH", "0.9"}}});
        window1 = drawing.insert({"WINDOW", "0", 5, 6, 0, 0, 1, 1, 1, {{"TAG", "W1"}}});
        door2 = drawing.insert({"DOOR", "Doors", 3, 4, 0, 0, 1, 1, 1, {{"NUMBER", "D2"}, {"WIDTH", "1.2"}}});
        plain = drawing.insert({"PLAIN", "0", 7, 8, 0});
        Load(drawing);

        // Narrow rows: block name and X only.
        Settings settings;
        settings.YCoord = settings.ZCoord = settings.Rotation = settings.Scale = settings.LayerNames = false;
        Store(settings);
    }

    std::string door1, door2, window1, plain;
};

} // namespace

TEST_F(ExportCommands, Export2WritesTheTypedBlocksOnSheetsOfTheirOwn)
{
    StartExcel();
    Gwell({"Export2", "DOOR,WINDOW"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;

    // Each new sheet goes in before the active one.
    EXPECT_EQ(SheetNames(), (Texts{"WINDOW", "DOOR", "Sheet1"}));
    const excelsim::Sheet* doors = Sheet("DOOR");
    ASSERT_NE(doors, nullptr);
    EXPECT_EQ(Row(doors, 1), (Texts{ResourceString(IDS_COLUMN_BLOCK_NAME), "NUMBER", "WIDTH",
                                    ResourceString(IDS_COLUMN_X)}));
    EXPECT_TRUE(doors->RowBold(1));
    EXPECT_EQ(Comment(doors, 1, 4), ResourceString(IDS_MARKER_X));
    EXPECT_EQ(Comment(doors, 1, 1), std::nullopt);
    EXPECT_EQ(Row(doors, 2)[0], "DOOR");
    EXPECT_EQ(Row(doors, 2)[1], "D1");
    EXPECT_EQ(Comment(doors, 2, 1), door1);
    EXPECT_EQ(Comment(doors, 3, 1), door2);
    EXPECT_EQ(Row(doors, 3)[1], "D2");
    EXPECT_FALSE(doors->RowBold(2));
    EXPECT_EQ(Row(doors, 4), Texts{});
    EXPECT_EQ(Comment(Sheet("WINDOW"), 2, 1), window1);
    EXPECT_TRUE(App()->With([](excelsim::AppData& data) { return data.visible; }));
}

TEST_F(ExportCommands, TypedNamesAreMatchedWithoutCaseAndBadPiecesDropped)
{
    StartExcel();
    Gwell({"Export2", "door,NOSUCH, WINDOW"});
    // "door" is the drawing's DOOR, and the sheet takes the name as the
    // drawing stores it; " WINDOW" names nothing.
    EXPECT_EQ(SheetNames(), (Texts{"DOOR", "Sheet1"}));
    EXPECT_EQ(Text(Sheet("DOOR"), 2, 1), "DOOR");
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(ExportCommands, NameTypedInAnotherCaseBeyondAsciiIsExportedUnderTheDrawingsName)
{
    DxfDrawing drawing;
    drawing.header("$DWGCODEPAGE", 3, "ANSI_1252");
    drawing.block("\xC4RGER", {{"T", "", "", false}}); // ÄRGER in the drawing's code page
    const std::string reference = drawing.insert({"\xC4RGER", "0", 0, 0, 0, 0, 1, 1, 1, {{"T", "t"}}});
    Load(drawing);
    StartExcel();
    Gwell({"Export2", "\xC3\xA4rger"}); // ärger, typed in the host's UTF-8
    EXPECT_EQ(SheetNames(), (Texts{"\xC3\x84RGER", "Sheet1"}));
    EXPECT_EQ(Comment(Sheet("\xC3\x84RGER"), 2, 1), reference);
    EXPECT_EQ(Text(Sheet("\xC3\x84RGER"), 2, 1), "\xC3\x84RGER");
}

TEST_F(ExportCommands, RepeatedNameExportsAgainOnASheetWithTheDefaultName)
{
    StartExcel();
    Gwell({"Export3", "DOOR,DOOR"});
    // The program numbers every sheet it makes: the one renamed DOOR was Sheet2.
    EXPECT_EQ(SheetNames(), (Texts{"Sheet3", "DOOR", "Sheet1"}));
    EXPECT_EQ(Comment(Sheet("Sheet3"), 3, 1), door2);
}

TEST_F(ExportCommands, EmptyAnswerExportsEveryNamedBlockWithOrWithoutAttributes)
{
    StartExcel();
    Gwell({"Export2", ""});
    EXPECT_EQ(SheetNames(), (Texts{"PLAIN", "WINDOW", "DOOR", "Sheet1"}));
    const excelsim::Sheet* plainSheet = Sheet("PLAIN");
    EXPECT_EQ(Row(plainSheet, 2), (Texts{"PLAIN", "7"}));
    EXPECT_EQ(Comment(plainSheet, 2, 1), plain);
}

TEST_F(ExportCommands, WhenNoNameSurvivesTheWorkbookIsStillPreparedButNothingWritten)
{
    StartExcel(excelsim::ExcelInstall::Installed);
    Gwell({"Export2", "NOSUCH"});
    ASSERT_NE(App(), nullptr) << "the program was started";
    EXPECT_TRUE(App()->With([](excelsim::AppData& data) { return data.visible; }));
    EXPECT_EQ(Books().size(), 1u);
    EXPECT_EQ(SheetNames(), Texts{"Sheet1"});
    EXPECT_EQ(ActiveSheet()->CellCount(), 0u);
}

TEST_F(ExportCommands, CancelledPromptEndsQuietly)
{
    StartExcel();
    Gwell({"Export2", "^C"});
    EXPECT_TRUE(Books().empty());
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(ExportCommands, UnreachableProgramIsReported)
{
    StartExcel(excelsim::ExcelInstall::Absent);
    Gwell({"Export2", "DOOR"});
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].caption, ResourceString(IDS_NO_EXCEL_CAPTION));
    EXPECT_EQ(messageBoxes.boxes[0].text, ResourceString(IDS_ERROR_TEXT));
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_ICONMASK, MB_ICONERROR);
}

TEST_F(ExportCommands, DialogExportTakesTheBlocksWithAttributesInTableOrder)
{
    StartExcel();
    Gwell({""}); // Enter is Export
    EXPECT_EQ(SheetNames(), (Texts{"WINDOW", "DOOR", "Sheet1"}));
}

TEST_F(ExportCommands, SelectionLimitsTheExportToThePickedReferences)
{
    StartExcel();
    drawingHost.setImpliedSelection({IdOf(door2)});
    Gwell({"Selection+export"});
    EXPECT_EQ(SheetNames(), (Texts{"DOOR", "Sheet1"})) << "WINDOW has no picked reference";
    EXPECT_EQ(Comment(Sheet("DOOR"), 2, 1), door2);
    EXPECT_EQ(Row(Sheet("DOOR"), 3), Texts{});

    // Nothing picked: the command ends before the program is touched.
    Gwell({"Selection+export", ""});
    EXPECT_EQ(Books().size(), 1u);

    // Export2 lifts the limit.
    Gwell({"Export2", "DOOR"});
    EXPECT_TRUE(TheModuleState().selectedReferences.isEmpty());
}

TEST_F(ExportCommands, ExportWithTheSelectionOptionPicksFirst)
{
    Settings settings;
    settings.Selection = true;
    Store(settings);
    StartExcel();
    Gwell({"Export", door1 + " " + window1, ""});
    EXPECT_EQ(SheetNames(), (Texts{"WINDOW", "DOOR", "Sheet1"}));
    EXPECT_EQ(Comment(Sheet("DOOR"), 2, 1), door1);
    EXPECT_EQ(Comment(Sheet("DOOR"), 3, 1), std::nullopt);
}

TEST_F(ExportCommands, LayerFilterAppliesToEveryExportUntilChanged)
{
    StartExcel();
    TheModuleState().layerFilter = {.on = true, .layers = {"doors"}};
    Gwell({"Export2", "DOOR,WINDOW"});
    TheModuleState().layerFilter = {};
    EXPECT_EQ(SheetNames(), (Texts{"DOOR", "Sheet1"})) << "no WINDOW lies on Doors";
    EXPECT_EQ(Comment(Sheet("DOOR"), 3, 1), door2);
}
