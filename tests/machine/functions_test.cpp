// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

using vx::test::failsWith;
using vx::test::resultOf;

TEST(Functions, FactorialLimits) {
    EXPECT_EQ(resultOf("69 f recip"), 1.711224524281e98);
    EXPECT_EQ(resultOf("0 f recip"), 1);
    EXPECT_EQ(resultOf("10 f recip"), 3628800);
    EXPECT_TRUE(failsWith("70 f recip"));
    EXPECT_TRUE(failsWith("1 chs f recip"));
    EXPECT_TRUE(failsWith("2.5 f recip"));
}

TEST(Functions, TrigonometryInDegreesAndGrads) {
    EXPECT_EQ(resultOf("180 sin"), 1.224646799147e-16);
    EXPECT_EQ(resultOf("30 sin"), 0.5);
    EXPECT_EQ(resultOf("60 cos"), 0.5);
    EXPECT_EQ(resultOf("1 f sin"), 90);
    EXPECT_EQ(resultOf("angle:grad 1 f sin"), 100);
    EXPECT_EQ(resultOf("angle:grad 100 sin"), 1);
    EXPECT_EQ(resultOf("1 f tan"), 45);
    EXPECT_EQ(resultOf("0.5 f cos"), 60);
    EXPECT_TRUE(failsWith("1.0000001 f cos"));
    EXPECT_TRUE(failsWith("1.0000001 chs f sin"));
    EXPECT_EQ(resultOf("180 toRad"), 3.14159265359);
    EXPECT_EQ(resultOf("1 f toRad"), 57.29577951308);
}

TEST(Functions, TangentAtThePoles) {
    EXPECT_EQ(resultOf("90 tan"), 1e99);
    EXPECT_EQ(resultOf("450 tan"), 1e99);
    EXPECT_EQ(resultOf("270 tan"), -1e99);
    EXPECT_EQ(resultOf("90 chs tan"), -1e99);
    EXPECT_EQ(resultOf("180 tan"), -1.224646799147e-16);
    EXPECT_EQ(resultOf("angle:grad 100 tan"), 1e99);
    EXPECT_EQ(resultOf("angle:grad 300 tan"), -1e99);
    EXPECT_EQ(resultOf("45 tan"), 1);
}

TEST(Functions, LogarithmsRootsAndPowers) {
    EXPECT_EQ(resultOf("100 log"), 2);
    EXPECT_EQ(resultOf("1 f ln"), 2.718281828459);
    EXPECT_EQ(resultOf("2 f log"), 100);
    EXPECT_EQ(resultOf("12 f sqrt"), 144);
    EXPECT_EQ(resultOf("4 recip"), 0.25);
    EXPECT_EQ(resultOf("2 sqrt"), 1.414213562373);
    EXPECT_TRUE(failsWith("0 ln"));
    EXPECT_TRUE(failsWith("1 chs log"));
    EXPECT_TRUE(failsWith("1 chs sqrt"));
    EXPECT_TRUE(failsWith("0 recip"));
    EXPECT_TRUE(failsWith("231 f ln")); // e^231 is beyond 1e100
    EXPECT_TRUE(failsWith("1 exp 60 f sqrt"));
}

TEST(Functions, AFailingFunctionLeavesTheNumberWithItsInputOnTheTape) {
    Machine m;
    m.keys("3 store 1 1 chs ln");
    EXPECT_TRUE(m->error());
    EXPECT_EQ(m.tapeSince(1), (Lines{"     -1.0000 Ln", "       ERROR"}));
    EXPECT_EQ(m->registers()[1].v, 3);
    m.keys("clear");
    EXPECT_EQ(m->E().v, -1);
    m.keys("2 sqrt");
    EXPECT_EQ(m.tapeSince(3), (Lines{"      2.0000 √", "      1.4142"}));
}

// Every factor both ways is a rule of its own (rules_test); here what the tape shows.
TEST(Functions, UnitConversions) {
    EXPECT_TRUE(failsWith("1 exp 99 toMetric 8"));
    Machine m;
    m.keys("10 toMetric 1");
    EXPECT_EQ(m.tape(), (Lines{"     10.0000 M1", "     25.4000"}));
}

TEST(Functions, CoordinatePairsAlternateOnEquals) {
    Machine m;
    m.keys("3 f toRect 4 =");
    EXPECT_EQ(m->E().v, 53.13010235416);
    m.keys("=");
    EXPECT_EQ(m->E().v, 5);
    m.keys("=");
    EXPECT_EQ(m->E().v, 53.13010235416);
    EXPECT_EQ(m.tape(),
              (Lines{"      3.0000 θr", "      4.0000 =", "     53.1301", "      5.0000", "     53.1301"}));

    Machine r;
    r.keys("30 toRect 2 =");
    EXPECT_EQ(r->E().v, 1.732050807569);
    r.keys("=");
    EXPECT_EQ(r->E().v, 1);
    r.keys("7 ="); // a new number ends the alternation: "=" converts again with it as the radius
    EXPECT_EQ(r->E().v, 6.062177826491);
}

TEST(Statistics, SumsWithFrequencyMeanAndDeviation) {
    Machine m;
    m.keys("5 sigma 3 =");
    EXPECT_EQ(m->registers()[1].v, 3);
    EXPECT_EQ(m->registers()[2].v, 15);
    EXPECT_EQ(m->registers()[3].v, 75);
    EXPECT_EQ(m.tape(), (Lines{"      5.0000 Σ", "      3.0000 ="}));
    m.keys("f 3");
    EXPECT_EQ(m->E().v, 5);
    m.keys("sdMean");
    EXPECT_EQ(m->E().v, 0);

    Machine s;
    s.keys("2 sigma 4 sigma 4 sigma 4 sigma 5 sigma 5 sigma 7 sigma 9 sigma f sdMean sdMean");
    EXPECT_EQ(s->registers()[1].v, 8);
    EXPECT_EQ(s->E().v, 2.138089935299);
    s.keys("9 f sigma f sdMean");
    EXPECT_EQ(s->E().v, 4.428571428571);
    s.keys("4 f sigma 2 =");
    EXPECT_EQ(s->registers()[1].v, 5);
}

TEST(Statistics, FailuresAndTheEndOfTheFrequency) {
    EXPECT_TRUE(failsWith("f 0 f 3"));
    EXPECT_TRUE(failsWith("5 sigma sdMean"));
    Machine m;
    m.keys("5 sigma + 2 =");
    EXPECT_EQ(m->registers()[1].v, 1); // "+" ended the pending frequency
    EXPECT_EQ(m->E().v, 7);
    m.keys("f 0");
    EXPECT_EQ(m->registers()[1], Num::zero);
    EXPECT_EQ(m->registers()[2], Num::zero);
}

TEST(Statistics, SumsOutOfRangeRaiseTheErrorBeforeAnyChanges) {
    // Σx² of 9.999e99 would be about 1e200.
    Machine m;
    m.keys("2 sigma");
    const std::vector<Num> before = m->registers();
    m.keys("9.999 exp 99 sigma");
    EXPECT_TRUE(m->error());
    EXPECT_EQ(m->registers(), before);
    EXPECT_EQ(m.tape().size(), 2u) << "the first Σ line and the error line, no second Σ line";
    // x = 1e50 already squares out of range.
    Machine square;
    square.keys("1 exp 50 sigma");
    EXPECT_TRUE(square->error());
    EXPECT_EQ(square->registers()[1], Num::zero);
    // The frequency completion is checked the same way, and leaves nothing pending.
    Machine often;
    often.keys("1 exp 40 sigma 1 exp 30 =");
    EXPECT_TRUE(often->error());
    EXPECT_EQ(often->registers()[1].v, 1);
    EXPECT_EQ(often->registers()[3].v, 1e80);
    // A square too small to show is zero; the count and the sum stay exact.
    Machine tiny;
    tiny.keys("1 exp 60 chs sigma");
    EXPECT_FALSE(tiny->error());
    EXPECT_EQ(tiny->registers()[1].v, 1);
    EXPECT_EQ(tiny->registers()[2].v, 1e-60);
    EXPECT_EQ(tiny->registers()[3], Num::zero);
}
