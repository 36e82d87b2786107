// Rows into worksheets: shared or per-block sheets, start and blank rows,
// comments, text format, odd lines, autofit and the limits of the row numbers.
#include "export_fixture.h"

#include "common/resource_strings.h"
#include "export/export_block.h"
#include "export/worksheet_writer.h"
#include "res/resource.h"

#include <dbobjptr.h>

namespace {

using Texts = std::vector<std::string>;

class WorksheetWriting : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        DxfDrawing drawing;
        drawing.header("$LUNITS", 70, "2").header("$LUPREC", 70, "0");
        drawing.block("A", {{"CODE", "Code?", "", false}}).block("B", {{"NAME", "Name?", "", false}, {"SIZE", "Size?", "", false}});
        a1 = drawing.insert({"A", "0", 1, 0, 0, 0, 1, 1, 1, {{"CODE", "0012"}}});
        a2 = drawing.insert({"A", "0", 2, 0, 0, 0, 1, 1, 1, {{"CODE", "a2"}}});
        b1 = drawing.insert({"B", "0", 3, 0, 0, 0, 1, 1, 1, {{"NAME", "b1"}, {"SIZE", "10"}}});
        Load(drawing);
        StartExcel();
    }

    // An open workbook in the running program, its first sheet filled by `fill`.
    excelsim::Sheet* OpenWorkbook(const std::function<void(excelsim::Sheet&)>& fill = {})
    {
        auto book = App()->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
        excelsim::Sheet* sheet = book->sheets.front().get();
        if (fill)
            fill(*sheet);
        return sheet;
    }
    static void Put(excelsim::Sheet& sheet, int row, int column, const std::u16string& text)
    {
        sheet.Update(row, column, [&](excelsim::CellEdit& cell) {
            cell.SetValue({excelsim::CellKind::Text, 0, false, 0, text});
        });
    }
    std::string LastBoxText() const { return messageBoxes.boxes.empty() ? "" : messageBoxes.boxes.back().text; }

    Settings narrow = AttributesOnly();
    std::string a1, a2, b1;
};

} // namespace

TEST_F(WorksheetWriting, PerBlockSheetsAlwaysGetABoldHeaderInRowOne)
{
    narrow.AddHeader = false;
    Store(narrow);
    Gwell({"Export2", "A,B"});
    const excelsim::Sheet* a = Sheet("A");
    const excelsim::Sheet* b = Sheet("B");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Row(a, 1), Texts{"CODE"});
    EXPECT_TRUE(a->RowBold(1));
    EXPECT_EQ(Row(a, 2), Texts{"0012"});
    EXPECT_EQ(Row(a, 3), Texts{"a2"});
    EXPECT_EQ(Row(b, 1), (Texts{"NAME", "SIZE"}));
    EXPECT_EQ(Row(b, 2), (Texts{"b1", "10"}));
    EXPECT_EQ(Comment(b, 2, 1), b1);
}

TEST_F(WorksheetWriting, SharedSheetStartsAtStartRowAndOddLinesSkipARowBeforeEachValueRow)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.AddHeader = false;
    narrow.ExportStartRow = 5;
    narrow.OddLine = true;
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook();
    Gwell({"Export2", "A"});
    EXPECT_EQ(Books().size(), 1u) << "the open workbook was used";
    EXPECT_EQ(Text(sheet, 6, 1), "0012");
    EXPECT_EQ(Comment(sheet, 6, 1), a1);
    EXPECT_EQ(Text(sheet, 8, 1), "a2");
    EXPECT_EQ(sheet->CellCount(), 2u);
    EXPECT_EQ(TheModuleState().currentRow, 9);
}

TEST_F(WorksheetWriting, PromptRowIsWrittenBoldEvenWithoutHeader)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.ExportAttPrompts = true;
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook();
    Gwell({"Export2", "A,B"});
    EXPECT_EQ(Row(sheet, 1), Texts{"Code?"});
    EXPECT_TRUE(sheet->RowBold(1));
    EXPECT_EQ(Row(sheet, 2), Texts{"0012"});
    EXPECT_EQ(Row(sheet, 4), (Texts{"Name?", "Size?"}));
    EXPECT_TRUE(sheet->RowBold(4));
    EXPECT_EQ(Row(sheet, 5), (Texts{"b1", "10"}));
    EXPECT_FALSE(sheet->RowBold(5));

    // With a header the prompts come right below it.
    narrow.WorksheetSettings = 0;
    narrow.AddHeader = true;
    Store(narrow);
    Gwell({"Export2", "B"});
    const excelsim::Sheet* b = Sheet("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Row(b, 1), (Texts{"NAME", "SIZE"}));
    EXPECT_EQ(Row(b, 2), (Texts{"Name?", "Size?"}));
    EXPECT_TRUE(b->RowBold(2));
    EXPECT_EQ(Comment(b, 3, 1), b1);
}

TEST_F(WorksheetWriting, BlocksSharingASheetEachGetTheirOwnHeader)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.AddHeader = true;
    narrow.XCoord = true;
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook();
    Gwell({"Export2", "A,B"});
    EXPECT_EQ(Row(sheet, 1), (Texts{"CODE", ResourceString(IDS_COLUMN_X)}));
    EXPECT_EQ(Comment(sheet, 1, 2), ResourceString(IDS_MARKER_X));
    EXPECT_EQ(Row(sheet, 4), (Texts{"NAME", "SIZE", ResourceString(IDS_COLUMN_X)}));
    EXPECT_EQ(Comment(sheet, 4, 3), ResourceString(IDS_MARKER_X));
    EXPECT_EQ(Row(sheet, 5), (Texts{"b1", "10", "3"}));
}

TEST_F(WorksheetWriting, FirstBlankRowIsFoundAcrossTheWholeRow)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.FindNextBlankLine = true;
    narrow.ExportStartRow = 3; // not used
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook([](excelsim::Sheet& s) {
        for (int row = 1; row <= 10; ++row)
            Put(s, row, 1, u"x");
        Put(s, 12, 200, u"far out");
    });
    Gwell({"Export2", "A"});
    EXPECT_EQ(Comment(sheet, 11, 1), a1);
    // Only the start is searched; the rows then follow one another.
    EXPECT_EQ(Text(sheet, 12, 1), "a2");
    EXPECT_EQ(Text(sheet, 12, 200), "far out");
}

TEST_F(WorksheetWriting, NoBlankRowMeansTheRowsGoToANewSheetNotOverData)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.FindNextBlankLine = true;
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook([](excelsim::Sheet& s) {
        for (int row = 1; row <= 65535; ++row)
            Put(s, row, 1, u"full");
    });
    Gwell({"Export2", "A"});
    EXPECT_EQ(sheet->CellCount(), 65535u);
    EXPECT_EQ(Text(sheet, 65535, 1), "full");
    EXPECT_EQ(Text(sheet, 65536, 1), "");
    EXPECT_TRUE(messageBoxes.boxes.empty()) << LastBoxText();
    ASSERT_EQ(SheetNames(), (Texts{"Sheet2", "Sheet1"}));
    EXPECT_EQ(Comment(Sheet("Sheet2"), 1, 1), a1);
    EXPECT_EQ(Comment(Sheet("Sheet2"), 2, 1), a2);
    EXPECT_NE(commandLine.output.find("Block A goes on in worksheet Sheet2"), std::string::npos)
        << commandLine.output;
}

TEST_F(WorksheetWriting, AStartRowOfZeroIsRefusedByTheProgramItself)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.ExportStartRow = 0;
    Store(narrow);
    const excelsim::Sheet* sheet = OpenWorkbook();
    Gwell({"Export2", "A"});
    EXPECT_EQ(sheet->CellCount(), 0u);
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_NE(LastBoxText().find("COM error!"), std::string::npos) << LastBoxText();
}

TEST_F(WorksheetWriting, AnExistingCommentIsReplacedNotDoubled)
{
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.AddHeader = true;
    narrow.XCoord = true;
    Store(narrow);
    excelsim::Sheet* sheet = OpenWorkbook([](excelsim::Sheet& s) {
        s.Update(1, 2, [](excelsim::CellEdit& cell) { cell.SetComment(u"old marker"); });
        s.Update(2, 1, [](excelsim::CellEdit& cell) { cell.SetComment(u"old handle"); });
    });
    Gwell({"Export2", "A"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << LastBoxText();
    EXPECT_EQ(Comment(sheet, 1, 2), ResourceString(IDS_MARKER_X));
    EXPECT_EQ(Comment(sheet, 2, 1), a1);
}

TEST_F(WorksheetWriting, TextFormatKeepsLeadingZerosAndWithoutItTheProgramTakesNumbers)
{
    Store(narrow); // AsText is on by default
    Gwell({"Export2", "A"});
    auto cell = Sheet("A")->Find(2, 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Kind(), excelsim::CellKind::Text);
    EXPECT_EQ(Narrow(std::u16string(cell->Text())), "0012");
    EXPECT_EQ(Narrow(std::u16string(cell->NumberFormat())), "@");

    narrow.AsText = false;
    Store(narrow);
    Gwell({"Export2", "A"});
    cell = Sheet("A")->Find(2, 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Kind(), excelsim::CellKind::Number);
    EXPECT_EQ(cell->Number(), 12.0);
}

TEST_F(WorksheetWriting, ColumnsAreFittedAfterEveryReferenceButABlocksFirst)
{
    Store(narrow);
    Gwell({"Export2", "A,B"});
    EXPECT_TRUE(Sheet("A")->ColumnWidth(1).has_value()) << "A has a second reference";
    EXPECT_TRUE(Sheet("B")->ColumnWidths().empty()) << "a block with one reference is never fitted";

    narrow.NoAutofit = true;
    Store(narrow);
    Gwell({"Export2", "A"});
    EXPECT_TRUE(Sheet("A")->ColumnWidths().empty());
}

TEST_F(WorksheetWriting, OtherWorkbookAndWorksheetValuesNeverWriteIntoOpenData)
{
    narrow.WorkbookSettings = 2;
    narrow.WorksheetSettings = 7;
    Store(narrow);
    const excelsim::Sheet* open = OpenWorkbook([](excelsim::Sheet& s) { Put(s, 1, 1, u"mine"); });
    Gwell({"Export2", "A"});
    EXPECT_EQ(Books().size(), 2u) << "a new workbook was added";
    EXPECT_EQ(open->CellCount(), 1u);
    EXPECT_EQ(SheetNames(), (Texts{"A", "Sheet1"})) << "the block got a sheet of its own";
    EXPECT_EQ(Row(Sheet("A"), 1), Texts{"CODE"});
}

TEST_F(WorksheetWriting, WorkbookModeOneAddsAWorkbookWhenNoneIsOpen)
{
    narrow.WorkbookSettings = 1;
    Store(narrow);
    Gwell({"Export2", "B"});
    EXPECT_EQ(Books().size(), 1u);
    EXPECT_EQ(Comment(Sheet("B"), 2, 1), b1);
}

TEST_F(WorksheetWriting, AProgramThatQuitMidwayMakesTheRestSkipSilently)
{
    Store(narrow);
    Gwell({"Export2", "A"});
    ASSERT_NE(Sheet("A"), nullptr);
    excel->Quit(App());
    // Every step attaches anew and finds no program.
    Settings settings = narrow;
    EXPECT_TRUE(ExportBlock("B", settings));
    WriteRow(false, {"1", "x"}, {}, settings);
    AutofitColumns();
    OpenBlockWorksheet("B");
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(WorksheetWriting, AnErasedFirstReferenceHandsTheHeaderToTheNext)
{
    {
        AcDbObjectPointer<AcDbBlockReference> reference(IdOf(a1), AcDb::kForWrite);
        ASSERT_EQ(reference.openStatus(), Acad::eOk);
        ASSERT_EQ(reference->erase(), Acad::eOk);
    }
    Store(narrow);
    Gwell({"Export2", "A"});
    EXPECT_EQ(Row(Sheet("A"), 1), Texts{"CODE"});
    EXPECT_EQ(Comment(Sheet("A"), 2, 1), a2);
    EXPECT_EQ(Row(Sheet("A"), 3), Texts{});
}

TEST_F(WorksheetWriting, LayoutColumnNamesTheActiveLayoutForEveryRow)
{
    DxfDrawing drawing;
    drawing.block("A", {{"CODE", "", "", false}});
    DxfInsert inPaper("A");
    inPaper.paperSpace = true;
    const std::string model = drawing.insert(DxfInsert("A"));
    const std::string paper = drawing.insert(inPaper);
    Load(drawing);
    narrow.LayoutNames = true;
    Store(narrow);
    Gwell({"Export2", "A"});
    const excelsim::Sheet* sheet = Sheet("A");
    EXPECT_EQ(Row(sheet, 1), (Texts{"CODE", ResourceString(IDS_COLUMN_LAYOUT)}));
    EXPECT_EQ(Comment(sheet, 1, 2), ResourceString(IDS_MARKER_LAYOUT));
    EXPECT_EQ(Comment(sheet, 2, 1), model);
    EXPECT_EQ(Text(sheet, 2, 2), "Model");
    EXPECT_EQ(Comment(sheet, 3, 1), paper);
    EXPECT_EQ(Text(sheet, 3, 2), "Model") << "the active layout, not the one that holds the reference";
}
