#include "common/resource_strings.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

namespace {

using FillFieldsTest = LeakCheckedTest;

TEST_F(FillFieldsTest, NumberedFieldsTakeTheirValuesAndNothingElseIsAFormat)
{
    EXPECT_EQ(FillFields("rows %1, changed %2", {"3", "1"}), "rows 3, changed 1");
    EXPECT_EQ(FillFields("%2 before %1", {"a", "b"}), "b before a");
    EXPECT_EQ(FillFields("%1 and %1", {"x"}), "x and x");
    // A field without a value is left empty, as the import summary expects.
    EXPECT_EQ(FillFields("sheets %1%2.", {"A"}), "sheets A.");
    // printf-style and stray percent signs stay as they are.
    EXPECT_EQ(FillFields("100% %s %d %0 %", {"v"}), "100% %s %d %0 %");
    // A value is inserted as it is, never filled in again.
    EXPECT_EQ(FillFields("block %1 on %2", {"%2", "Sheet1"}), "block %2 on Sheet1");
    EXPECT_EQ(FillFields("%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine");
}

} // namespace
