// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"
#include "support.h"

using namespace vx;
using vx::test::Machine;
using vx::test::showCells;
using vx::test::trimmedDisplay;
namespace F = vx::Formatter;

namespace {
std::string number(double v, int dp, bool sci = false) {
    return trimmedDisplay(F::numberCells(Num{v, false}, dp, sci));
}
} // namespace

TEST(DisplayCells, FixedPointAtEveryDecimalSetting) {
    EXPECT_EQ(showCells(F::numberCells(Num::zero, 4, false)), "           0.0000");
    const char* expected[] = {"1,234,567",       "1,234,567.8",     "1,234,567.89",     "1,234,567.891",
                              "1,234,567.8912",  "1,234,567.89123", "1,234,567.891234", "1,234,567.89123",
                              "1,234,567.89123", "1,234,567.89123"};
    // Twelve digits at most: the decimals shrink as the integer part grows.
    for (int dp = 0; dp <= 9; ++dp)
        EXPECT_EQ(number(1234567.891234, dp), dp <= 5 ? expected[dp] : "1,234,567.89123") << dp;
    EXPECT_EQ(number(2.5, 0), "2");
    EXPECT_EQ(number(-2.75, 1), "-2.7"); // cut, not rounded
    EXPECT_EQ(number(123456789012, 4), "123,456,789,012");
    EXPECT_EQ(number(999999999999.9, 2), "999,999,999,999");
}

TEST(DisplayCells, ScientificAboveTwelveDigitsAndForTinyValues) {
    EXPECT_EQ(number(1e12, 4), "1.000000000  12");
    EXPECT_EQ(showCells(F::sciCells(-1.5e-7)), " -1.500000000 -07");
    EXPECT_EQ(number(1e-9, 4), "1.000000000 -09");
    EXPECT_EQ(number(2.5, 3, true), "2.500000000  00");
    EXPECT_EQ(number(0, 3, true), "0.000000000  00");
    EXPECT_EQ(number(6.02214076e23, 2), "6.022140760  23");
}

TEST(DisplayCells, TinyValuesRaiseTheDecimalsAndZeroHasNoSign) {
    EXPECT_EQ(number(0.00002, 2), "0.00002");
    EXPECT_EQ(number(-0.00003, 2), "-0.00003");
    EXPECT_EQ(number(-0.0, 2), "0.00");
    EXPECT_EQ(number(-0.001, 2), "-0.001");
    EXPECT_EQ(number(0.5, 0), "0.5");
}

TEST(DisplayCells, TheNumberBeingTyped) {
    Machine m;
    EXPECT_EQ(m.keys("12").display(), "12.0000");
    EXPECT_EQ(m.keys(".").display(), "12.");
    EXPECT_EQ(m.keys("clear 0.50").display(), "0.50");
    EXPECT_EQ(m.keys("clear 1234567 chs").display(), "-1,234,567.0000");
    EXPECT_EQ(m.keys("clear 123456789012").display(), "123,456,789,012.");
    EXPECT_EQ(m.keys("clear 2 exp 5 chs").display(), "2.000000000 -05");
    EXPECT_EQ(m.keys("clear 30 dms 15").display(), "30 15 00.0000");
    EXPECT_EQ(m.keys("clear 007").display(), "7.0000");
}

TEST(DisplayCells, IdentificationErrorAndParentheses) {
    EXPECT_EQ(showCells(F::identCells(Num{2.5, false})), " 2.5             ");
    EXPECT_EQ(showCells(F::identCells(Num{3, false})), " 3.              ");
    Machine m;
    EXPECT_EQ(m.keys("2.5 ident").display(), "2.5");
    EXPECT_EQ(m.keys("7").display(), "7.0000");
    m.keys("* ( ( 3");
    EXPECT_EQ(showCells(m->cells()), "2          3.0000");
    m.keys("/ 0 )");
    EXPECT_EQ(showCells(m->cells()), showCells(F::errorCells()));
    EXPECT_EQ(showCells(F::errorCells()), "      E-----    ");
}

TEST(DisplayCells, DecimalSettingsAndTheSelfTest) {
    Machine m;
    EXPECT_EQ(m.keys("2 / 3 = setDP 2").display(), "0.66");
    EXPECT_EQ(m.keys("setDP exp").display(), "6.666666666 -01");
    EXPECT_EQ(m->decimals(), 2);
    EXPECT_EQ(m.keys("setDP 3").display(), "0.666");
    EXPECT_EQ(m.keys("setDP . setDP chs")->decimals(), 3);
    EXPECT_EQ(m.keys("f chs").display(), "8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,8.,");
    EXPECT_EQ(m.after(2.0).display(), "0.666");
}

TEST(DisplayCells, TheSelfTestLastsTwoSeconds) {
    Machine t;
    t.keys("f chs");
    const auto lit = t->cells();
    EXPECT_EQ(t.after(1.99)->cells(), lit);
    EXPECT_NE(t.after(0.02)->cells(), lit);
}
