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
    EXPECT_TRUE(m.keys("3 store 1 1 chs ln")->error());
    EXPECT_EQ(m.tapeSince(1), (Lines{"     -1.0000 Ln", "       ERROR"}));
    EXPECT_EQ(m->registers()[1].v, 3);
    EXPECT_EQ(m.keys("clear")->E().v, -1);
    EXPECT_EQ(m.keys("2 sqrt").tapeSince(3), (Lines{"      2.0000 √", "      1.4142"}));
}

TEST(Functions, AUnitConversionOnTheTapeAndBeyondTheRange) {
    EXPECT_TRUE(failsWith("1 exp 99 toMetric 8"));
    Machine m;
    EXPECT_EQ(m.keys("10 toMetric 1").tape(), (Lines{"     10.0000 M1", "     25.4000"}));
}

TEST(Functions, CoordinatePairsAlternateOnEquals) {
    Machine m;
    EXPECT_EQ(m.keys("3 f toRect 4 =")->E().v, 53.13010235416);
    EXPECT_EQ(m.keys("=")->E().v, 5);
    EXPECT_EQ(m.keys("=")->E().v, 53.13010235416);
    EXPECT_EQ(m.tape(),
              (Lines{"      3.0000 θr", "      4.0000 =", "     53.1301", "      5.0000", "     53.1301"}));

    Machine r;
    EXPECT_EQ(r.keys("30 toRect 2 =")->E().v, 1.732050807569);
    EXPECT_EQ(r.keys("=")->E().v, 1);
    r.keys("7 ="); // a new number ends the alternation: "=" converts again with it as the radius
    EXPECT_EQ(r->E().v, 6.062177826491);
}

TEST(Functions, EveryMetricFactorBothWays) {
    // Index: the key after →M, then what 1 becomes, and what 1 becomes the other way.
    const struct {
        const char* index;
        double to, from;
    } factors[] = {
        {"1", 2.54, 0.3937007874016},
        {"2", 0.3048, 3.280839895013},
        {"3", 1.609344, 0.6213711922373},
        {"4", 16.387064, 0.06102374409473},
        {"5", 3.785411784, 0.2641720523581},
        {"6", 4.54609, 0.2199692482991},
        {"7", 0.45359237, 2.204622621849},
        {"8", 28.349523125, 0.03527396194958},
        {"9", 0.01601846337396, 62.42796057615},
        {"dot", 0.07030695796, 14.22334330791},
    };
    for (const auto& [index, to, from] : factors) {
        EXPECT_EQ(resultOf(std::string("1 toMetric ") + index), to) << index;
        EXPECT_EQ(resultOf(std::string("1 f toMetric ") + index), from) << index;
    }
    // Fahrenheit and Celsius, degrees and radians.
    EXPECT_EQ(resultOf("50 toMetric 0"), 10);
    EXPECT_EQ(resultOf("10 f toMetric 0"), 50);
    EXPECT_EQ(resultOf("180 toMetric chs"), 3.14159265359);
    EXPECT_EQ(resultOf("3.14159265359 f toMetric chs"), 180);
}

TEST(Functions, DisplayCodesLeaveTheTapeAlone) {
    Machine m;
    m.keys("2.125 f 2 f 1 f 7 clear 5 setDP 2 f 8"); // ABS, EULER, PI, CLEAR, DP, ROUND
    EXPECT_TRUE(m->tape().empty());
    EXPECT_EQ(m->E().v, 5);
    EXPECT_EQ(m.keys("2.125 f 8")->E().v, 2.13);
    EXPECT_EQ(m.keys("2.125 chs f 8")->E().v, -2.13);
    EXPECT_EQ(m.keys("setDP exp 2.125 f 8")->E().v, 2.125);
    EXPECT_EQ(m.keys("f 7")->E().v, 3.14159265359);
    EXPECT_EQ(m.keys("f 1")->E().v, 2.718281828459);
}
