// What the spreadsheet or the host cannot take: sheet names it refuses, more
// rows than a worksheet takes, texts longer than a cell, answers longer than
// the command line. The export goes on and says what it did; nothing is lost
// without a word.
#include "export_fixture.h"
#include "support/leak_checked_test.h"

#include "common/resource_strings.h"
#include "export/export_block.h"
#include "export/worksheet_writer.h"
#include "res/resource.h"

#include <dbents.h>
#include <acutmem.h>
#include <dbobjptr.h>

namespace {

using Texts = std::vector<std::string>;

class ExportLimits : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        StartExcel();
    }
    void LoadAB()
    {
        DxfDrawing drawing;
        drawing.block("A", {{"CODE", "Code?", "", false}})
            .block("B", {{"NAME", "Name?", "", false}, {"SIZE", "Size?", "", false}});
        a1 = drawing.insert({"A", "0", 1, 0, 0, 0, 1, 1, 1, {{"CODE", "a1"}}});
        a2 = drawing.insert({"A", "0", 2, 0, 0, 0, 1, 1, 1, {{"CODE", "a2"}}});
        b1 = drawing.insert({"B", "0", 3, 0, 0, 0, 1, 1, 1, {{"NAME", "b1"}, {"SIZE", "10"}}});
        Load(drawing);
    }
    excelsim::Sheet* OpenWorkbook()
    {
        auto book = App()->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
        return book->sheets.front().get();
    }
    std::size_t Count(const std::string& text) const
    {
        std::size_t n = 0;
        for (std::size_t at = commandLine.output.find(text); at != std::string::npos;
             at = commandLine.output.find(text, at + 1))
            ++n;
        return n;
    }
    // The text of the first attribute of the reference with handle `handle`.
    void SetFirstAttributeText(const std::string& handle, const std::string& text)
    {
        AcDbObjectPointer<AcDbBlockReference> reference(IdOf(handle), AcDb::kForRead);
        ASSERT_EQ(reference.openStatus(), Acad::eOk);
        std::unique_ptr<AcDbObjectIterator> attributes(reference->attributeIterator());
        attributes->start();
        ASSERT_FALSE(attributes->done());
        AcDbAttribute* attribute = nullptr;
        ASSERT_EQ(reference->openAttribute(attribute, attributes->objectId(), AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(attribute->setTextString(text.c_str()), Acad::eOk);
        attribute->close();
    }
    std::string FirstAttributeText(const std::string& handle)
    {
        AcDbObjectPointer<AcDbBlockReference> reference(IdOf(handle), AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> attributes(reference->attributeIterator());
        attributes->start();
        AcDbAttribute* attribute = nullptr;
        if (reference->openAttribute(attribute, attributes->objectId(), AcDb::kForRead) != Acad::eOk)
            return "<not opened>";
        char* text = attribute->textString();
        std::string result = text ? text : "";
        acutDelString(text);
        attribute->close();
        return result;
    }

    Settings narrow = AttributesOnly();
    std::string a1, a2, b1;
};

} // namespace

using SheetNamesTest = LeakCheckedTest;

TEST_F(SheetNamesTest, TheProgramsRulesAreCheckedInItsOwnCharacters)
{
    EXPECT_TRUE(SheetNameAllowed("DOOR"));
    EXPECT_TRUE(SheetNameAllowed(std::string(31, 'x')));
    EXPECT_FALSE(SheetNameAllowed(std::string(32, 'x')));
    // 31 letters of two bytes each are 31 characters.
    std::string umlauts;
    for (int i = 0; i < 31; ++i)
        umlauts += "\xC3\xA4";
    EXPECT_TRUE(SheetNameAllowed(umlauts));
    EXPECT_FALSE(SheetNameAllowed(umlauts + "\xC3\xA4"));
    EXPECT_FALSE(SheetNameAllowed(""));
    for (const char* bad : {"a:b", "a\\b", "a/b", "a?b", "a*b", "a[1]", "b]", "'quoted", "quoted'", "History",
                            "HISTORY", "history"})
        EXPECT_FALSE(SheetNameAllowed(bad)) << bad;
    EXPECT_TRUE(SheetNameAllowed("it's"));
    EXPECT_TRUE(SheetNameAllowed("Histories"));
    EXPECT_FALSE(SheetNameAllowed("\xC3")) << "not text in the code page";
}

TEST_F(ExportLimits, RefusedSheetNamesKeepTheDefaultNameAndTheExportGoesOn)
{
    const std::string tooLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"; // 32 characters
    DxfDrawing drawing;
    drawing.block("GOOD", {{"T", "", "", false}})
        .block("BAD[1]", {{"T", "", "", false}})
        .block("history", {{"T", "", "", false}})
        .block(tooLong, {{"T", "", "", false}});
    const std::string good = drawing.insert({"GOOD", "0", 0, 0, 0, 0, 1, 1, 1, {{"T", "g"}}});
    const std::string bad = drawing.insert({"BAD[1]", "0", 0, 0, 0, 0, 1, 1, 1, {{"T", "b"}}});
    const std::string history = drawing.insert({"history", "0", 0, 0, 0, 0, 1, 1, 1, {{"T", "h"}}});
    const std::string longOne = drawing.insert({tooLong, "0", 0, 0, 0, 0, 1, 1, 1, {{"T", "l"}}});
    Load(drawing);
    Store(narrow);
    Gwell({"Export2", "GOOD,BAD[1],history," + tooLong + ",GOOD"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;
    EXPECT_EQ(SheetNames(), (Texts{"Sheet6", "Sheet5", "Sheet4", "Sheet3", "GOOD", "Sheet1"}));
    EXPECT_EQ(Comment(Sheet("GOOD"), 2, 1), good);
    EXPECT_EQ(Comment(Sheet("Sheet3"), 2, 1), bad);
    EXPECT_EQ(Text(Sheet("Sheet3"), 2, 1), "b");
    EXPECT_EQ(Comment(Sheet("Sheet4"), 2, 1), history);
    EXPECT_EQ(Comment(Sheet("Sheet5"), 2, 1), longOne);
    EXPECT_EQ(Comment(Sheet("Sheet6"), 2, 1), good) << "the repeated name as before";
}

TEST_F(ExportLimits, SharedSheetGoesOnInANewWorksheetWhenItsRowsRunOut)
{
    LoadAB();
    narrow.WorkbookSettings = 1;
    narrow.WorksheetSettings = 1;
    narrow.AddHeader = true;
    narrow.ExportStartRow = 32765;
    Store(narrow);
    const excelsim::Sheet* first = OpenWorkbook();
    Gwell({"Export2", "A,B,A"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;
    EXPECT_EQ(Row(first, 32765), Texts{"CODE"});
    EXPECT_EQ(Comment(first, 32766, 1), a1);
    EXPECT_EQ(Comment(first, 32767, 1), a2);
    EXPECT_EQ(first->CellCount(), 3u);

    // B's header and row need rows 32768 and 32769: a new sheet takes them,
    // and the next block follows on it.
    ASSERT_EQ(SheetNames(), (Texts{"Sheet2", "Sheet1"}));
    const excelsim::Sheet* next = Sheet("Sheet2");
    EXPECT_EQ(ActiveSheet(), next);
    EXPECT_EQ(Row(next, 1), (Texts{"NAME", "SIZE"}));
    EXPECT_TRUE(next->RowBold(1));
    EXPECT_EQ(Comment(next, 2, 1), b1);
    EXPECT_EQ(Row(next, 2), (Texts{"b1", "10"}));
    EXPECT_EQ(Row(next, 3), Texts{"CODE"});
    EXPECT_EQ(Comment(next, 4, 1), a1);
    EXPECT_EQ(Comment(next, 5, 1), a2);
    EXPECT_EQ(Count("Block B goes on in worksheet Sheet2"), 1u) << commandLine.output;
}

TEST_F(ExportLimits, ABlocksOwnSheetGoesOnInANumberedSheetWithTheHeaderAgain)
{
    LoadAB();
    narrow.ExportAttPrompts = true;
    OpenWorkbook();
    // As if the block had filled its sheet up to the last rows.
    TheModuleState().currentRow = 32765;
    EXPECT_TRUE(ExportBlock("A", narrow));
    TheModuleState().currentRow = 32765;
    EXPECT_TRUE(ExportBlock("A", narrow)); // both "A" and "A (2)" are taken now
    TheModuleState().currentRow = 1;
    EXPECT_TRUE(ExportBlock("B", narrow));
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;

    EXPECT_EQ(SheetNames(), (Texts{"B", "Sheet5", "Sheet4", "A (2)", "A", "Sheet1"}));
    const excelsim::Sheet* a = Sheet("A");
    EXPECT_EQ(Row(a, 32765), Texts{"CODE"});
    EXPECT_EQ(Row(a, 32766), Texts{"Code?"});
    EXPECT_EQ(Comment(a, 32767, 1), a1);
    const excelsim::Sheet* more = Sheet("A (2)");
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(Row(more, 1), Texts{"CODE"});
    EXPECT_EQ(Row(more, 2), Texts{"Code?"});
    EXPECT_EQ(Comment(more, 3, 1), a2);
    EXPECT_EQ(Comment(Sheet("Sheet5"), 3, 1), a2);
    EXPECT_EQ(Comment(Sheet("B"), 3, 1), b1);
    EXPECT_EQ(Count("Block A goes on in worksheet A (2)"), 1u) << commandLine.output;
    EXPECT_EQ(Count("Block A goes on in worksheet Sheet5"), 1u) << commandLine.output;
}

TEST_F(ExportLimits, TextLongerThanACellIsReportedAndLeftForImportToPassOver)
{
    LoadAB();
    SetFirstAttributeText(a1, std::string(32768, 'x'));
    // 20000 two-byte letters are 20000 characters: they fit.
    std::string accents;
    for (int i = 0; i < 20000; ++i)
        accents += "\xC3\xA9";
    SetFirstAttributeText(a2, accents);
    Store(narrow);
    Gwell({"Export2", "A,B"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;
    const excelsim::Sheet* a = Sheet("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Comment(a, 2, 1), a1);
    auto cell = a->Find(2, 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Kind(), excelsim::CellKind::Error);
    EXPECT_EQ(Text(a, 2, 1), "#N/A");
    EXPECT_EQ(Text(a, 3, 1), accents);
    EXPECT_EQ(Comment(Sheet("B"), 2, 1), b1) << "the export went on";
    EXPECT_EQ(Count("Block A, reference " + a1 + ": the text of CODE"), 1u) << commandLine.output;
    EXPECT_EQ(Count("32767"), 1u);

    // The unchanged workbook read back leaves the long text as it is.
    Gwell({"Import"});
    EXPECT_EQ(FirstAttributeText(a1), std::string(32768, 'x'));
    EXPECT_EQ(FirstAttributeText(a2), accents);
}

TEST_F(ExportLimits, TypedAnswerThatFillsTheInputBufferIsRefused)
{
    LoadAB();
    Store(narrow);
    // 26 times "A," and then "B,"... cut after 132 characters the last name
    // would be lost in part.
    std::string answer;
    while (answer.size() < 131)
        answer += "A,";
    answer += "B";
    ASSERT_GT(answer.size(), 132u);
    Gwell({"Export2", answer});
    EXPECT_TRUE(Books().empty()) << "nothing was exported";
    EXPECT_TRUE(messageBoxes.boxes.empty());
    EXPECT_EQ(Count("Nothing was exported"), 1u) << commandLine.output;

    // One character less than the buffer holds is a whole answer.
    answer = std::string();
    while (answer.size() < 129)
        answer += "A,";
    answer += "B";
    ASSERT_EQ(answer.size(), 131u);
    Gwell({"Export2", answer});
    EXPECT_EQ(Count("Nothing was exported"), 1u);
    EXPECT_NE(Sheet("B"), nullptr);
}

TEST_F(ExportLimits, ABlockWithMoreReferencesThanASheetHasRowsGoesOnInAFurtherSheet)
{
    // Row 1 is the header, so rows 2 to 32767 take the first 32766 references.
    constexpr int kReferences = 32766 + 2;
    DxfDrawing drawing;
    drawing.block("P").block("Q");
    std::vector<std::string> handles;
    for (int i = 0; i < kReferences; ++i)
        handles.push_back(drawing.insert({"P", "0", static_cast<double>(i)}));
    const std::string q = drawing.insert(DxfInsert("Q"));
    Load(drawing);
    Settings bare = narrow;
    bare.NoAutofit = true;
    Store(bare);
    Gwell({"Export2", "P,Q"});
    EXPECT_TRUE(messageBoxes.boxes.empty()) << messageBoxes.boxes[0].text;
    EXPECT_EQ(SheetNames(), (Texts{"Q", "P (2)", "P", "Sheet1"}));
    const excelsim::Sheet* p = Sheet("P");
    EXPECT_EQ(Comment(p, 2, 1), handles[0]);
    EXPECT_EQ(Comment(p, 32767, 1), handles[32765]);
    const excelsim::Sheet* more = Sheet("P (2)");
    ASSERT_NE(more, nullptr);
    EXPECT_TRUE(more->RowBold(1)) << "the header row again";
    EXPECT_EQ(Comment(more, 2, 1), handles[32766]);
    EXPECT_EQ(Comment(more, 3, 1), handles[32767]);
    EXPECT_EQ(Comment(Sheet("Q"), 2, 1), q) << "the blocks after it are exported";
    EXPECT_EQ(Count("Block P goes on in worksheet P (2)"), 1u) << commandLine.output;
}
