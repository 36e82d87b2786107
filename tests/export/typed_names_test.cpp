// The names typed at the Export2 prompt against the drawing's block table.
#include "export/typed_names.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

class TypedNames : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        table.set("DOOR", true);
        table.set("WINDOW", true);
        table.set("NOATTS", false);
    }
    BlockNameTable table;
};

} // namespace

TEST_F(TypedNames, KeepsTypedOrderAndSpelling)
{
    EXPECT_EQ(NamesFromTypedText("WINDOW,DOOR", table), (Names{"WINDOW", "DOOR"}));
    // A name typed in another case is passed on as the drawing gives it.
    EXPECT_EQ(NamesFromTypedText("door,Window", table), (Names{"DOOR", "WINDOW"}));
    EXPECT_EQ(NamesFromTypedText("DOOR,DOOR", table), (Names{"DOOR", "DOOR"}));
}

TEST_F(TypedNames, LettersBeyondAsciiMatchInAnyCaseUnderTheDrawingsName)
{
    table.set("\xC3\x84RGER", true);  // ÄRGER
    table.set("\xC3\xA9t\xC3\xA9", true); // été
    EXPECT_EQ(NamesFromTypedText("\xC3\xA4rger", table), (Names{"\xC3\x84RGER"}));   // ärger
    EXPECT_EQ(NamesFromTypedText("\xC3\x89T\xC3\x89", table), (Names{"\xC3\xA9t\xC3\xA9"})); // ÉTÉ
    EXPECT_EQ(NamesFromTypedText("arger,ETE", table), Names{}) << "accents still count";

    // Two names the host tells apart only by the case of a letter beyond
    // ASCII: the one spelt as typed wins.
    table.set("\xC3\xA4RGER", true); // äRGER
    EXPECT_EQ(NamesFromTypedText("\xC3\xA4RGER", table), (Names{"\xC3\xA4RGER"}));
}

TEST_F(TypedNames, DropsPiecesThatNameNoBlock)
{
    EXPECT_EQ(NamesFromTypedText("DOOR,NOSUCH,WINDOW", table), (Names{"DOOR", "WINDOW"}));
    // A blank after the comma is part of the next piece, which then names nothing.
    EXPECT_EQ(NamesFromTypedText("DOOR, WINDOW", table), (Names{"DOOR"}));
    EXPECT_EQ(NamesFromTypedText(",DOOR,,", table), (Names{"DOOR"}));
    EXPECT_EQ(NamesFromTypedText("DOO", table), Names{});
}

TEST_F(TypedNames, EmptyAnswerMeansEveryNameInTableOrder)
{
    table.set("*Paper_Space12", false); // cannot be in a built table, but must never be exported
    EXPECT_EQ(NamesFromTypedText("", table), (Names{"DOOR", "WINDOW", "NOATTS"}));
}

using BlockNameTableTest = LeakCheckedTest;

TEST_F(BlockNameTableTest, NamesCompareWithoutCaseAndKeepTheDrawingsOrderAndSpelling)
{
    BlockNameTable table;
    table.set("Zeta", false);
    table.set("alpha", true);
    table.set("ZETA", true); // the same name: only the flag changes
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.entries()[0].name, "Zeta");
    EXPECT_TRUE(table.entries()[0].hasAttributes);
    ASSERT_NE(table.find("ALPHA"), nullptr);
    EXPECT_EQ(table.find("ALPHA")->name, "alpha");
    EXPECT_EQ(table.find("alph"), nullptr);
}

TEST_F(BlockNameTableTest, LayoutBlockNamesAreRecognisedByTheirFirstTwelveCharacters)
{
    EXPECT_TRUE(IsLayoutBlockName("*Model_Space"));
    EXPECT_TRUE(IsLayoutBlockName("*PAPER_SPACE"));
    EXPECT_TRUE(IsLayoutBlockName("*paper_space7"));
    EXPECT_FALSE(IsLayoutBlockName("*PAPER_SPAC"));
    EXPECT_FALSE(IsLayoutBlockName("PAPER_SPACE1"));
    EXPECT_FALSE(IsLayoutBlockName("*MODEL"));
    EXPECT_FALSE(IsLayoutBlockName(""));
}
