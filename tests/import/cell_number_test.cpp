// Reading numbers from worksheet cells: decimal text only, wholly a number,
// and never a value that is not finite.
#include "automation/value_conversion.h"
#include "import/cell_number.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

#include "oleauto.h"

#include <cmath>
#include <string>

namespace {

// A text variant that frees itself.
struct TextValue {
    VARIANT v{};
    explicit TextValue(const char16_t* text)
    {
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
    }
    ~TextValue() { SysFreeString(v.bstrVal); }
    TextValue(const TextValue&) = delete;
    TextValue& operator=(const TextValue&) = delete;
};

using DecimalNumberTest = LeakCheckedTest;

TEST_F(DecimalNumberTest, ReadsWholeDecimalNumbersWithBlanksAround)
{
    const std::pair<const char*, double> numbers[] = {
        {"12.5", 12.5}, {"-3", -3},     {"+4", 4},         {".5", 0.5},     {"5.", 5},
        {"1e3", 1000},  {"-2.5E-2", -0.025}, {"  7.25\t", 7.25}, {"0010", 10},  {"1e+2", 100},
    };
    for (const auto& [text, number] : numbers) {
        const auto read = DecimalNumber(text);
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(*read, number) << text;
    }
}

TEST_F(DecimalNumberTest, HexadecimalWordsCommasAndOverflowAreNoNumber)
{
    for (const char* text : {"0x10", "-0x1p3", "0X1A", "12,5", "abc", "inf", "-infinity", "nan", "NAN(1)",
                             "1e999", "-1e999", "", "  ", "12.5 m", "1e", "e5", ".", "-", "+-1", "1.2.3",
                             "1 2", "0b101", "1d5"}) {
        EXPECT_FALSE(DecimalNumber(text).has_value()) << '"' << text << '"';
    }
}

using NumberFromCellValueTest = LeakCheckedTest;

TEST_F(NumberFromCellValueTest, NumbersAndDecimalTextSetItEverythingElseLeavesIt)
{
    VARIANT v{};
    double n = 7;
    v.vt = VT_R8;
    v.dblVal = 2.5;
    EXPECT_TRUE(NumberFromCellValue(v, n));
    EXPECT_EQ(n, 2.5);
    v.vt = VT_R4;
    v.fltVal = 0.25f;
    EXPECT_TRUE(NumberFromCellValue(v, n));
    EXPECT_EQ(n, 0.25);
    v.vt = VT_I2;
    v.iVal = -3;
    EXPECT_TRUE(NumberFromCellValue(v, n));
    EXPECT_EQ(n, -3);
    v.vt = VT_I4;
    v.lVal = 100000;
    EXPECT_TRUE(NumberFromCellValue(v, n));
    EXPECT_EQ(n, 100000);
    {
        TextValue text(u" 12.5 ");
        EXPECT_TRUE(NumberFromCellValue(text.v, n));
        EXPECT_EQ(n, 12.5);
    }

    n = 7;
    v.vt = VT_EMPTY;
    EXPECT_FALSE(NumberFromCellValue(v, n));
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    EXPECT_FALSE(NumberFromCellValue(v, n));
    v.vt = VT_ERROR;
    v.scode = kErrorNotAvailable;
    EXPECT_FALSE(NumberFromCellValue(v, n));
    v.vt = VT_R8;
    v.dblVal = INFINITY;
    EXPECT_FALSE(NumberFromCellValue(v, n));
    v.dblVal = NAN;
    EXPECT_FALSE(NumberFromCellValue(v, n));
    for (const char16_t* text : {u"12.5mm", u"12,5", u"abc", u"0x10", u"-0x1p3", u"inf", u"nan", u"1e999",
                                 u"", u"\uFF11\uFF12"}) {
        TextValue value(text);
        EXPECT_FALSE(NumberFromCellValue(value.v, n));
    }
    EXPECT_EQ(n, 7) << "a value without a number left the number as it was";
}

} // namespace
