// The locale-aware, case-insensitive collation of the runtime stand-in.
#include <codepage.h>
#include "support/leak_checked_test.h"
#include <mbstring.h>

#include <gtest/gtest.h>

namespace {
int Coll(const char* a, const char* b)
{
    return _mbsicoll(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b));
}
} // namespace

using MbsicollTest = LeakCheckedTest;

TEST_F(MbsicollTest, IgnoresCaseAndSortsAccentsBesideTheirLetters)
{
    SetAnsiCodePageForHost(CP_UTF8);
    EXPECT_EQ(Coll("Door", "dOOR"), 0);
    EXPECT_LT(Coll("Alpha", "beta"), 0);
    EXPECT_GT(Coll("gamma", "Beta"), 0);
    EXPECT_LT(Coll("abc", "abcd"), 0);
    // e < é < f, and É equals é.
    EXPECT_LT(Coll("e", "\xC3\xA9"), 0);
    EXPECT_LT(Coll("\xC3\xA9", "f"), 0);
    EXPECT_EQ(Coll("\xC3\x89", "\xC3\xA9"), 0);
    // Latin Extended-A: Č and č are one letter, sorted with c.
    EXPECT_EQ(Coll("\xC4\x8C", "\xC4\x8D"), 0);
    EXPECT_LT(Coll("\xC4\x8D", "d"), 0);
}

TEST_F(MbsicollTest, ReadsTextInTheHostsCodePage)
{
    SetAnsiCodePageForHost(1250);
    EXPECT_EQ(Coll("\xC8", "\xE8"), 0); // Č and č in Windows-1250
    EXPECT_LT(Coll("\xE8", "d"), 0);
    SetAnsiCodePageForHost(CP_UTF8);
    // Not UTF-8: compared byte by byte, ASCII letters without case.
    EXPECT_EQ(Coll("A\xFF", "a\xFF"), 0);
    EXPECT_NE(Coll("\xFE", "\xFF"), 0);
}
