// Numbers and angles in the drawing's units, as the host's rtos and angtos
// write them.
#include "support/drawing_fixture.h"

#include <cmath>

namespace {

class UnitsFormat : public DrawingTest {
protected:
    std::string rtos(double value, int unit, int prec)
    {
        char text[512] = "";
        EXPECT_EQ(acdbRToS(value, unit, prec, text), RTNORM);
        return text;
    }
    std::string angtos(double value, int unit, int prec)
    {
        char text[512] = "";
        EXPECT_EQ(acdbAngToS(value, unit, prec, text), RTNORM);
        return text;
    }
};

TEST_F(UnitsFormat, LinearFormatsOfEachUnit)
{
    EXPECT_EQ(rtos(17.5, 1, 4), "1.7500E+01");
    EXPECT_EQ(rtos(17.5, 2, 2), "17.50");
    EXPECT_EQ(rtos(17.5, 3, 2), "1'-5.50\"");
    EXPECT_EQ(rtos(17.5, 4, 2), "1'-5 1/2\"");
    EXPECT_EQ(rtos(17.5, 5, 2), "17 1/2");
    EXPECT_EQ(rtos(-0.23, 2, 3), "-0.230");
    EXPECT_EQ(rtos(-0.0001, 2, 2), "0.00");
    EXPECT_EQ(rtos(2.0 / 3.0, 2, 0), "1");
    EXPECT_EQ(rtos(12.75, 5, 1), "13"); // halves: 12 3/4 rounds to 13
    EXPECT_EQ(rtos(0.375, 5, 3), "3/8");
    EXPECT_EQ(rtos(-17.5, 4, 2), "-1'-5 1/2\"");
    EXPECT_EQ(rtos(6, 4, 0), "6\"");    // no zero feet
    EXPECT_EQ(rtos(24, 3, 2), "2'");    // no zero inches
    EXPECT_EQ(rtos(11.999, 3, 2), "1'"); // rounding carries into the feet
    char text[64];
    EXPECT_EQ(acdbRToS(1.0, 6, 2, text), RTERROR);
    EXPECT_EQ(acdbRToS(1.0, 2, 9, text), RTERROR);
}

TEST_F(UnitsFormat, UnitModeAndDimzinChangeTheText)
{
    db->setUnitmode(1);
    EXPECT_EQ(rtos(17.5, 3, 2), "1'5.50\"");
    EXPECT_EQ(rtos(17.5, 4, 2), "1'5-1/2\"");
    EXPECT_EQ(rtos(17.5, 5, 2), "17-1/2");
    EXPECT_EQ(angtos(M_PI / 4, 4, 4), "N45d0'0\"E");
    db->setUnitmode(0);
    db->setDimzin(4);
    EXPECT_EQ(rtos(0.234, 2, 2), ".23");
    db->setDimzin(12);
    EXPECT_EQ(rtos(-0.23, 2, 3), "-.23");
    EXPECT_EQ(rtos(12.0, 2, 4), "12");
    EXPECT_EQ(rtos(17.5, 1, 4), "1.75E+01");
    db->setDimzin(1);
    EXPECT_EQ(rtos(6, 4, 0), "0'-6\"");
    EXPECT_EQ(rtos(24, 4, 0), "2'-0\"");
    db->setDimzin(3);
    EXPECT_EQ(rtos(24, 4, 0), "2'-0\"");
    EXPECT_EQ(rtos(6, 4, 0), "6\"");
}

TEST_F(UnitsFormat, AngleFormatsOfEachUnit)
{
    const double a = 0.436332313; // 25 degrees
    EXPECT_EQ(angtos(a, 0, 4), "25.0000");
    EXPECT_EQ(angtos(a, 1, 4), "25d0'0\"");
    EXPECT_EQ(angtos(M_PI / 4 + (30.0 / 60 + 15.0 / 3600) * M_PI / 180, 1, 4), "45d30'15\"");
    EXPECT_EQ(angtos(M_PI / 4 + (30.0 / 60) * M_PI / 180, 1, 2), "45d30'");
    EXPECT_EQ(angtos(M_PI / 4, 1, 0), "45d");
    EXPECT_EQ(angtos(a, 2, 5), "27.77778g");
    EXPECT_EQ(angtos(a, 3, 3), "0.436r");
    EXPECT_EQ(angtos(a, 4, 4), "N 65d0'0\" E");
    EXPECT_EQ(angtos(M_PI * 1.25, 4, 4), "S 45d0'0\" W");
    EXPECT_EQ(angtos(M_PI / 2, 4, 4), "N");
    EXPECT_EQ(angtos(-M_PI / 4, 0, 0), "315"); // a full turn is added
    EXPECT_EQ(angtos(2 * M_PI, 0, 2), "0.00");
    char text[64];
    EXPECT_EQ(acdbAngToS(1.0, 5, 0, text), RTERROR);
}

TEST_F(UnitsFormat, MinusOneTakesTheDrawingsUnitsAndPrecision)
{
    load(DxfBuilder()
             .header("$LUNITS", 70, "4")
             .header("$LUPREC", 70, "3")
             .header("$AUNITS", 70, "1")
             .header("$AUPREC", 70, "4")
             .text());
    EXPECT_EQ(rtos(17.5, -1, -1), "1'-5 1/2\"");
    EXPECT_EQ(rtos(17.5, 2, -1), "17.500");
    EXPECT_EQ(angtos((25.0 * M_PI / 180.0), -1, -1), "25d0'0\"");
    // Without a working drawing the host's defaults apply: decimal, 4 places; degrees, 0 places.
    host.setWorkingDatabase(nullptr);
    EXPECT_EQ(rtos(17.5, -1, -1), "17.5000");
    EXPECT_EQ(angtos((25.0 * M_PI / 180.0), -1, -1), "25");
    host.setWorkingDatabase(db.get());
}

} // namespace
