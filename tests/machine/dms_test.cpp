// SPDX-License-Identifier: GPL-3.0-or-later
// Degrees, minutes and seconds: how they are keyed, shown, carried through
// the operations and reduced to a turn.
#include "display/Formatter.h"
#include "support.h"

using namespace vx;
using vx::test::Machine;
using vx::test::resultOf;
using vx::test::trimmedDisplay;
namespace F = vx::Formatter;

TEST(DegreesMinutesSeconds, KeyedInPartsAndReducedAtWholeTurns) {
    Machine m;
    EXPECT_EQ(m.keys("30 dms 15 dms 36 dms exp")->entry()->dmsParts.size(), 2u);
    EXPECT_FALSE(m->entry()->expMode);
    EXPECT_EQ(r13(m->entry()->value()), 30.26);
    EXPECT_TRUE(m.keys("=")->E().dms);

    Machine empty;
    EXPECT_EQ(empty.keys("dms")->entry()->dmsParts, std::vector<std::string>{"0"});

    Machine turns;
    EXPECT_EQ(turns.keys("1080 dms")->entry()->value(), 0);
    EXPECT_EQ(turns.keys("clear 999 dms")->entry()->value(), 999);
    EXPECT_EQ(turns.keys("clear 1170 dms 30 chs")->entry()->value(), -90.5);
}

TEST(DegreesMinutesSeconds, ShownWithCarries) {
    auto dms = [](double v, int dp) { return trimmedDisplay(F::numberCells(Num{v, true}, dp, false)); };
    EXPECT_EQ(dms(30.26, 4), "30 15 36.0000");
    EXPECT_EQ(dms(30.999999, 0), "31 00 00");
    EXPECT_EQ(dms(59.9999999, 2), "60 00 00.00");
    EXPECT_EQ(dms(-1.5, 9), "-1 30 00.0000");
    EXPECT_EQ(dms(725, 1), "5 00 00.0");
    EXPECT_EQ(dms(-30, 2), "-30 00 00.00");
    EXPECT_EQ(dms(-390, 2), "330 00 00.00");
}

TEST(DegreesMinutesSeconds, TheFlagFollowsTheOperation) {
    const Num angle{1.5, true}, plain{2, false};
    EXPECT_TRUE(compute(angle, plain, Op::add).dms);
    EXPECT_TRUE(compute(plain, angle, Op::sub).dms);
    EXPECT_TRUE(compute(angle, plain, Op::mul).dms);
    EXPECT_FALSE(compute(angle, angle, Op::mul).dms);
    EXPECT_TRUE(compute(angle, plain, Op::div).dms);
    EXPECT_FALSE(compute(angle, angle, Op::div).dms);
    EXPECT_FALSE(compute(plain, angle, Op::div).dms);
    EXPECT_FALSE(compute(angle, plain, Op::pow).dms);
    Machine m;
    EXPECT_EQ(m.keys("10 dms 30 + 0.25 =")->E(), (Num{10.75, true}));
    EXPECT_EQ(m.display(), "10 45 00.0000");
}

TEST(DegreesMinutesSeconds, TheBoundariesOfTheReduction) {
    // A keyed D/M/S number of exactly 1000 degrees is reduced modulo 360; 999 is not.
    EXPECT_EQ(resultOf("1000 dms 0 dms 0 ="), 280);
    EXPECT_EQ(resultOf("999 dms ="), 999);
    // F D/M/S reduces exactly 360 degrees to 0; a D/M/S number of 360 shows as 0 as well.
    EXPECT_EQ(resultOf("360 f dms"), 0);
    EXPECT_EQ(resultOf("720 chs f dms"), 0);
    Machine m;
    EXPECT_EQ(m.keys("360 dms 0 dms 0 =")->E().v, 360);
    EXPECT_EQ(m.display(), "0 00 00.0000");
    // ROUND leaves a D/M/S number alone and rounds a plain one.
    Machine r;
    EXPECT_TRUE(r.keys("setDP 2 10 dms 30 dms 30 f 8")->E().dms);
    EXPECT_EQ(r->E().v, 10.50833333333);
    EXPECT_EQ(resultOf("setDP 2 2.125 f 8"), 2.13);
}

TEST(DegreesMinutesSeconds, FTurnsAPlainNumberIntoOneWithinATurnAndBack) {
    Machine m;
    EXPECT_EQ(m.keys("725 f dms")->E(), (Num{5, true}));
    EXPECT_EQ(m.keys("f dms")->E(), (Num{5, false}));
    EXPECT_EQ(m.keys("725 chs f dms")->E(), (Num{355, true}));
    EXPECT_EQ(m.keys("30 chs f dms")->E(), (Num{-30, true}));
}
