// How a sheet keeps its cells: values, formats and comments read back exactly
// as set, the displayed lengths autofit works from match those of the values
// themselves, and a sheet rewritten without end keeps its memory bounded.
#include "sheet_model.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>

namespace {

using namespace excelsim;

using CellStorageTest = LeakCheckedTest;

CellValue Text(std::u16string t) { return CellValue{CellKind::Text, 0, false, 0, std::move(t)}; }
CellValue Number(double n) { return CellValue{CellKind::Number, n, false, 0, {}}; }

TEST_F(CellStorageTest, EveryKindReadsBackAsSetWithTheSameDisplayedLength)
{
    const std::u16string longText(CellTextStore::kLongText * 3 + 5, u'x'); // a block of its own
    const std::vector<CellValue> values = {
        Number(-0.0),
        Number(123456789012.0),
        Number(std::numeric_limits<double>::denorm_min()),
        Number(-1234567.891234),
        Text(u"0012"),
        Text(u"\xD83D\xDE00 pair and a lone \xD800"),
        Text(longText),
        Text(u"after the long one"),
        CellValue{CellKind::Boolean, 0, true, 0, {}},
        CellValue{CellKind::Boolean, 0, false, 0, {}},
        CellValue{CellKind::Error, 0, false, static_cast<SCODE>(0x800A07FA), {}},
        CellValue{CellKind::Error, 0, false, static_cast<SCODE>(0x800A07D7), {}},
    };
    Sheet sheet(u"S");
    for (std::size_t i = 0; i < values.size(); ++i)
        sheet.Update(static_cast<int>(i) + 1, 2, [&](CellEdit& cell) { cell.SetValue(values[i]); });
    std::size_t longest = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto cell = sheet.Find(static_cast<int>(i) + 1, 2);
        ASSERT_TRUE(cell) << i;
        EXPECT_EQ(cell->Value(), values[i]) << i;
        EXPECT_EQ(DisplayedText(*cell), DisplayedText(values[i])) << i;
        longest = std::max(longest, DisplayedLength(values[i]));
    }
    // The sign of a negative zero survives (the value is kept bit for bit).
    EXPECT_TRUE(std::signbit(sheet.Find(1, 2)->Number()));
    EXPECT_EQ(sheet.LongestText(2), longest);

    // Replacing the long text by a short one moves the column's longest.
    sheet.Update(7, 2, [](CellEdit& cell) { cell.SetValue(Text(u"short")); });
    EXPECT_EQ(sheet.LongestText(2), DisplayedLength(values[5]));
    EXPECT_EQ(sheet.Find(8, 2)->Text(), u"after the long one");
    // A text cleared leaves a blank cell, which is no cell at all.
    sheet.Update(8, 2, [](CellEdit& cell) { cell.ClearValue(); });
    EXPECT_FALSE(sheet.Find(8, 2));
    EXPECT_EQ(sheet.CellCount(), values.size() - 1);
}

TEST_F(CellStorageTest, FormatsBoldAndCommentsAreKeptApartFromTheValue)
{
    Sheet sheet(u"S");
    sheet.Update(2, 3, [](CellEdit& cell) {
        EXPECT_TRUE(cell.SetNumberFormat(u"@"));
        cell.SetComment(u"1F3");
    });
    sheet.Update(2, 4, [](CellEdit& cell) { cell.SetNumberFormat(u"0.00"); });
    auto formatted = sheet.Find(2, 3);
    ASSERT_TRUE(formatted);
    const std::u16string_view format = formatted->NumberFormat();
    // More formats arrive; the view of an earlier one stays good.
    for (int column = 10; column < 60; ++column)
        sheet.Update(3, column, [&](CellEdit& cell) { cell.SetNumberFormat(u"0." + std::u16string(column, u'0')); });
    EXPECT_EQ(format, u"@");
    EXPECT_EQ(sheet.Find(2, 4)->NumberFormat(), u"0.00");
    EXPECT_EQ(sheet.Find(2, 3)->Kind(), CellKind::Empty); // a format and a note alone make a cell
    EXPECT_EQ(sheet.Find(2, 3)->Comment(), std::optional<std::u16string_view>(u"1F3"));
    EXPECT_FALSE(sheet.Find(2, 4)->Comment());

    // A comment replaced by its own longer self, then emptied, then removed.
    sheet.Update(2, 3, [](CellEdit& cell) { cell.SetComment(std::u16string(*cell.Comment()) + u" and more"); });
    EXPECT_EQ(sheet.Find(2, 3)->Comment().value_or(u"?"), u"1F3 and more");
    sheet.Update(2, 3, [](CellEdit& cell) { cell.SetComment(u""); });
    EXPECT_EQ(sheet.Find(2, 3)->Comment().value_or(u"?"), u"");
    sheet.Update(2, 3, [](CellEdit& cell) {
        cell.SetComment(std::nullopt);
        cell.SetBold(true);
    });
    EXPECT_TRUE(sheet.Find(2, 3)->Bold());
    EXPECT_FALSE(sheet.Find(2, 3)->Comment());
    sheet.Update(2, 3, [](CellEdit& cell) {
        cell.SetBold(false);
        cell.SetNumberFormat(u"");
    });
    EXPECT_FALSE(sheet.Find(2, 3));
}

TEST_F(CellStorageTest, ASheetRefusesANewFormatBeyondItsTableButTakesKnownOnes)
{
    Sheet sheet(u"S");
    int row = 1;
    // General is the first; fill the rest of the table.
    for (std::size_t n = 1; n < Sheet::kMaxNumberFormats; ++n, ++row) {
        bool taken = false;
        const std::string format = "0;\"" + std::to_string(n) + "\"";
        sheet.Update(row, 1, [&](CellEdit& cell) { taken = cell.SetNumberFormat(std::u16string(format.begin(), format.end())); });
        ASSERT_TRUE(taken) << n;
    }
    bool refused = false;
    sheet.Update(row, 1, [&](CellEdit& cell) {
        cell.SetNumberFormat(u"0;\"7\"");
        refused = !cell.SetNumberFormat(u"one too many");
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(sheet.Find(row, 1)->NumberFormat(), u"0;\"7\""); // it keeps the format it had
}

// The live link rewrites cells for hours: replaced texts must not pile up.
TEST_F(CellStorageTest, RewritingCellsForeverKeepsTheTextStoreBounded)
{
    Sheet sheet(u"S");
    const int rows = 300, columns = 6;
    std::map<std::pair<int, int>, std::u16string> expected;
    std::map<int, std::u16string> notes;
    std::mt19937 random(15);
    auto text = [&](int length) {
        std::u16string t;
        for (int i = 0; i < length; ++i)
            t += static_cast<char16_t>(u'a' + random() % 26);
        return t;
    };
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            std::u16string t = text(8);
            sheet.Update(r, c, [&](CellEdit& cell) { cell.SetValue(Text(t)); });
            expected[{r, c}] = t;
        }
        notes[r] = text(4);
        sheet.Update(r, 1, [&](CellEdit& cell) { cell.SetComment(notes[r]); });
    }
    const std::size_t filled = sheet.CellBytes();
    std::size_t mostBytes = 0, mostGarbage = 0;
    for (int round = 0; round < 150000; ++round) {
        const int r = static_cast<int>(random() % rows) + 1, c = static_cast<int>(random() % columns) + 1;
        if (round % 7 == 0) {
            notes[r] = text(static_cast<int>(random() % 30));
            sheet.Update(r, 1, [&](CellEdit& cell) { cell.SetComment(notes[r]); });
        } else {
            // Now and then a long text, which goes to a block of its own.
            std::u16string t = text(round % 1000 == 0 ? static_cast<int>(CellTextStore::kLongText) + 1
                                                      : static_cast<int>(random() % 40));
            sheet.Update(r, c, [&](CellEdit& cell) { cell.SetValue(t.empty() ? CellValue{} : Text(t)); });
            expected[{r, c}] = t;
        }
        mostBytes = std::max(mostBytes, sheet.CellBytes());
        mostGarbage = std::max(mostGarbage, sheet.GarbageTextUnits());
    }
    // Some 3 million code units were written; garbage stays within the
    // compaction threshold, and memory within a small multiple of the start.
    EXPECT_LE(mostGarbage, 2 * CellTextStore::kBlockUnits);
    EXPECT_LT(mostBytes, filled + 8 * CellTextStore::kBlockUnits * sizeof(char16_t));
    // And every text is still the one last written.
    for (const auto& [at, t] : expected) {
        auto cell = sheet.Find(at.first, at.second);
        if (t.empty()) {
            EXPECT_TRUE(!cell || cell->Kind() == CellKind::Empty);
            continue;
        }
        ASSERT_TRUE(cell) << at.first << "," << at.second;
        ASSERT_EQ(cell->Text(), t) << at.first << "," << at.second;
    }
    for (const auto& [r, note] : notes)
        ASSERT_EQ(sheet.Find(r, 1)->Comment().value_or(u"?"), note) << r;
}

// What an export's sheet costs per cell: the cell itself, its text and little
// else (the handle's note on each row's first cell included).
TEST_F(CellStorageTest, AnExportsCellCostsSixteenBytesAndItsText)
{
    Sheet sheet(u"S");
    const int rows = 20000, columns = 12;
    std::size_t textUnits = 0;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            std::u16string t = u"v" + std::u16string(static_cast<std::size_t>(r % 9), u'7');
            textUnits += t.size();
            sheet.Update(r, c, [&](CellEdit& cell) {
                cell.SetNumberFormat(u"@");
                cell.SetValue(Text(t));
            });
        }
        sheet.Update(r, 1, [&](CellEdit& cell) { cell.SetComment(u"1A" + std::u16string(1, static_cast<char16_t>(u'0' + r % 10))); });
        textUnits += 3;
    }
    const double cells = rows * columns;
    const double overhead = (static_cast<double>(sheet.CellBytes()) - static_cast<double>(textUnits * sizeof(char16_t))) / cells;
    EXPECT_GE(overhead, 16.0);
    EXPECT_LT(overhead, 24.0) << "bytes per cell beyond its text";
}

} // namespace
