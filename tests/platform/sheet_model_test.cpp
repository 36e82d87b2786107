// Displayed texts, entered values and the autofit bookkeeping of a sheet.
#include "sheet_model.h"
#include "support/leak_checked_test.h"
#include "codepage.h"

#include <gtest/gtest.h>

namespace {

using namespace excelsim;

using SheetModelTest = LeakCheckedTest;

TEST_F(SheetModelTest, GeneralFormatShowsAtMostElevenCharacters)
{
    EXPECT_EQ(GeneralNumberText(0), u"0");
    EXPECT_EQ(GeneralNumberText(0.1 + 0.2), u"0.3");
    EXPECT_EQ(GeneralNumberText(-1234567.891234), u"-1234567.89");
    EXPECT_EQ(GeneralNumberText(99999999999.0), u"99999999999");
    EXPECT_EQ(GeneralNumberText(123456789012.0), u"1.23457E+11");
    EXPECT_EQ(GeneralNumberText(0.00001), u"0.00001");
    EXPECT_EQ(GeneralNumberText(0.000123456789012), u"0.000123457");
    EXPECT_EQ(GeneralNumberText(1e-11), u"1E-11");
    EXPECT_EQ(GeneralNumberText(-2.5e-20), u"-2.5E-20");
    EXPECT_EQ(GeneralNumberText(1e100), u"1E+100");
}

TEST_F(SheetModelTest, EnteredTextsTakeTheProgramsTypes)
{
    EXPECT_EQ(EnteredValue(u"42", false).kind, CellKind::Number);
    EXPECT_EQ(EnteredValue(u"42", true).kind, CellKind::Text);
    EXPECT_EQ(EnteredValue(u"'42", false).text, u"42");
    EXPECT_EQ(EnteredValue(u"#N/A", false).error, static_cast<SCODE>(0x800A07FA));
    EXPECT_EQ(EnteredValue(u"", false).kind, CellKind::Empty);
    EXPECT_EQ(EnteredValue(u"1F3", false).kind, CellKind::Text);
    SetUserNumberSeparators(u',', u'.');
    EXPECT_EQ(EnteredValue(u"1,5", false).number, 1.5);
    EXPECT_EQ(GeneralNumberText(1.5), u"1,5");
    SetUserNumberSeparators(u'.', u',');
}

TEST_F(SheetModelTest, LongestTextFollowsEveryChange)
{
    Sheet sheet(u"S");
    auto set = [&](int row, const std::u16string& text) {
        sheet.Update(row, 3, [&](CellEdit& c) { c.SetValue(EnteredValue(text, true)); });
    };
    for (int row = 1; row <= 1000; ++row)
        set(row, std::u16string(static_cast<std::size_t>(row % 10 + 1), u'x'));
    EXPECT_EQ(sheet.LongestText(3), 10u);
    // Shortening every longest text brings the next longest forward.
    for (int row = 9; row <= 1000; row += 10)
        set(row, u"y");
    EXPECT_EQ(sheet.LongestText(3), 9u);
    for (int row = 1; row <= 1000; ++row)
        set(row, u"");
    EXPECT_EQ(sheet.LongestText(3), 0u);
    EXPECT_EQ(sheet.CellCount(), 0u) << "emptied cells leave nothing behind";
    sheet.Update(1, 2, [](CellEdit& c) { c.SetValue(CellValue{CellKind::Number, 123456789012.0, false, 0, {}}); });
    EXPECT_EQ(sheet.LongestText(2), 11u); // the displayed text, not the digits stored
    sheet.AutoFit(1, 1);
    EXPECT_FALSE(sheet.ColumnWidth(2).has_value());
    sheet.AutoFit(2, 2);
    EXPECT_NEAR(*sheet.ColumnWidth(2), 11.71, 1e-9);
}

TEST_F(SheetModelTest, SheetNamesCompareWithoutCase)
{
    EXPECT_TRUE(SameName(u"Żółw", u"żÓŁW"));
    EXPECT_TRUE(SameName(u"ÄRGER", u"ärger"));
    EXPECT_FALSE(SameName(u"Sheet1", u"Sheet2"));
    Workbook book;
    book.sheets.push_back(std::make_shared<Sheet>(u"Sheet2"));
    EXPECT_EQ(book.NextSheetName(), u"Sheet1");
    EXPECT_EQ(book.NextSheetName(), u"Sheet3"); // Sheet2 is taken
    EXPECT_EQ(book.CheckSheetName(u"sheet2", nullptr), SheetNameProblem::Taken);
    EXPECT_EQ(book.CheckSheetName(u"sheet2", book.sheets[0].get()), SheetNameProblem::Ok);
}

} // namespace

namespace {

using SheetStorageTest = LeakCheckedTest;

void Put(Sheet& sheet, int row, int column, std::u16string text)
{
    sheet.Update(row, column, [&](CellEdit& cell) { cell.SetValue(EnteredValue(text, true)); });
}

// Cells kept row by row: found where they were put, visited in row then
// column order whatever the order of writing, and gone (with their count)
// once cleared, also when the cleared cell ends its row or the sheet.
TEST_F(SheetStorageTest, CellsAreFoundVisitedInOrderAndClearedAway)
{
    Sheet sheet(u"S");
    Put(sheet, 3, 5, u"c");
    Put(sheet, 1, 2, u"a");
    Put(sheet, 3, 1, u"b");
    sheet.Update(2, 4, [](CellEdit& cell) { cell.SetBold(true); }); // formatting alone makes a cell
    EXPECT_EQ(sheet.CellCount(), 4u);
    EXPECT_FALSE(sheet.Find(1, 1));
    EXPECT_FALSE(sheet.Find(0, 1));
    EXPECT_FALSE(sheet.Find(99, 1));
    ASSERT_TRUE(sheet.Find(3, 5));
    EXPECT_EQ(sheet.Find(3, 5)->Text(), u"c");

    std::vector<std::pair<int, int>> order;
    sheet.ForEachCell([&](int row, int column, const Cell&) { order.emplace_back(row, column); });
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 2}, {2, 4}, {3, 1}, {3, 5}}));
    EXPECT_EQ(sheet.SortedCells().size(), 4u);
    EXPECT_EQ(sheet.UsedExtent(), (std::array<int, 4>{1, 1, 3, 5}));

    Put(sheet, 3, 5, u"");
    EXPECT_FALSE(sheet.Find(3, 5));
    EXPECT_EQ(sheet.CellCount(), 3u);
    EXPECT_EQ(sheet.UsedExtent(), (std::array<int, 4>{1, 1, 3, 4}));
    Put(sheet, 3, 1, u"");
    sheet.Update(2, 4, [](CellEdit& cell) { cell.SetBold(false); });
    EXPECT_EQ(sheet.CellCount(), 1u);
    EXPECT_EQ(sheet.UsedExtent(), (std::array<int, 4>{1, 2, 1, 2}));
    Put(sheet, 1, 2, u"");
    EXPECT_EQ(sheet.CellCount(), 0u);
    EXPECT_EQ(sheet.UsedExtent(), (std::array<int, 4>{1, 1, 1, 1}));
    // A position before the grid's start is no cell: nothing is kept or marked.
    sheet.MarkSaved();
    Put(sheet, 0, 1, u"nowhere");
    Put(sheet, 1, -3, u"nowhere");
    EXPECT_EQ(sheet.CellCount(), 0u);
    EXPECT_FALSE(sheet.Changed());
    // A cleared sheet takes cells again anywhere.
    Put(sheet, 2, 2, u"again");
    EXPECT_EQ(sheet.CellCount(), 1u);
    EXPECT_EQ(sheet.Find(2, 2)->Text(), u"again");
}

// The changed cells come back once each and ordered, however often and in
// whatever order they changed; saving forgets them. A sheet never saved
// differs from nothing by the cells it holds.
TEST_F(SheetStorageTest, ChangedCellsAreReportedOnceInOrder)
{
    Sheet sheet(u"S");
    Put(sheet, 2, 1, u"x");
    Put(sheet, 1, 3, u"y");
    Put(sheet, 2, 1, u"z");
    Put(sheet, 4, 4, u"gone");
    sheet.Update(1, 3, [](CellEdit& cell) { cell.SetNumberFormat(u"@"); });
    Put(sheet, 1, 3, u"w");
    sheet.Update(4, 4, [](CellEdit& cell) { cell.ClearValue(); });
    EXPECT_EQ(sheet.ChangedCells(), (std::vector<std::pair<int, int>>{{1, 3}, {2, 1}}));
    sheet.MarkSaved();
    EXPECT_TRUE(sheet.ChangedCells().empty());
    EXPECT_FALSE(sheet.Changed());

    // After a save a cleared cell is a change too; and cells rewritten
    // without end are each noted once, in bounded memory.
    sheet.Update(2, 1, [](CellEdit& cell) { cell.ClearValue(); });
    const std::size_t bytes = sheet.CellBytes();
    for (int round = 0; round < 100000; ++round)
        Put(sheet, 1 + round % 2, 5, round % 3 ? u"a" : u"b");
    EXPECT_EQ(sheet.ChangedCells(), (std::vector<std::pair<int, int>>{{1, 5}, {2, 1}, {2, 5}}));
    EXPECT_LT(sheet.CellBytes(), bytes + 64 * 1024);
}

} // namespace
