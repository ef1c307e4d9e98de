// SPDX-License-Identifier: GPL-3.0-or-later
// Exact rules that a plausible slip in the code would break while every
// broader test still passed: boundaries, durations and factors, each checked
// against a value worked out by hand.
#include "display/Formatter.h"
#include "support.h"

#include <cmath>

using namespace vx;
using vx::test::Machine;
using vx::test::resultOf;

TEST(Rules, RoundingAndTheRangeAtTheirEdges) {
    // A whole number of 14 digits is rounded to 13 like any other.
    EXPECT_EQ(resultOf("9999999999999 + 9999999999999 ="), 2e13);
    EXPECT_EQ(resultOf("1234567890123 * 10 + 7 ="), 12345678901240.0);
    // 1e-99 is the smallest magnitude kept; below it a result is 0.
    EXPECT_EQ(resultOf("1 exp chs 98 / 10 ="), 1e-99);
    EXPECT_EQ(resultOf("1 exp chs 99 ="), 1e-99);
    EXPECT_EQ(resultOf("1 exp chs 99 / 10 ="), 0);
}

TEST(Rules, EveryMetricFactorBothWays) {
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

TEST(Rules, DegreesMinutesSecondsAtTheirBoundaries) {
    // A keyed D/M/S number of exactly 1000 degrees is reduced modulo 360; 999 is not.
    EXPECT_EQ(resultOf("1000 dms 0 dms 0 ="), 280);
    EXPECT_EQ(resultOf("999 dms ="), 999);
    // F D/M/S reduces exactly 360 degrees to 0; a D/M/S number of 360 shows as 0 as well.
    EXPECT_EQ(resultOf("360 f dms"), 0);
    EXPECT_EQ(resultOf("720 chs f dms"), 0);
    Machine m;
    m.keys("360 dms 0 dms 0 =");
    EXPECT_EQ(m->E().v, 360);
    EXPECT_EQ(m.display(), "0 00 00.0000");
    // ROUND leaves a D/M/S number alone and rounds a plain one.
    Machine r;
    r.keys("setDP 2 10 dms 30 dms 30 f 8");
    EXPECT_TRUE(r->E().dms);
    EXPECT_EQ(r->E().v, 10.50833333333);
    EXPECT_EQ(resultOf("setDP 2 2.125 f 8"), 2.13);
}

TEST(Rules, TheBlinkAndTheSelfTestKeepTheirTime) {
    Machine m;
    m->loadProgram({129, 232, 1});
    m.keys("startStop");
    const auto dashes = Formatter::dashes();
    const auto blank = Formatter::blank();
    // The blink timer runs from the machine's start: its phase turns every 0.3 s.
    m.advance(0.29);
    const bool first = m->cells() == dashes;
    EXPECT_TRUE(first || m->cells() == blank);
    m.advance(0.02); // 0.31
    EXPECT_EQ(m->cells() == dashes, !first);
    m.advance(0.28); // 0.59
    EXPECT_EQ(m->cells() == dashes, !first);
    m.advance(0.02); // 0.61
    EXPECT_EQ(m->cells() == dashes, first);
    m.keys("startStop");

    Machine t;
    t.keys("f chs");
    const auto lit = t->cells();
    t.advance(1.99);
    EXPECT_EQ(t->cells(), lit);
    t.advance(0.02);
    EXPECT_NE(t->cells(), lit);
}

TEST(Rules, APowerCycleForgetsTheDecimalSetting) {
    Machine m;
    m.keys("setDP 2 power:off power:on 1 / 3 =");
    EXPECT_EQ(m.display(), "0.3333");
}

TEST(Rules, EveryEntryKeyCountsAsAKeyedNumberForJumpPlusMinusEquals) {
    // STOP; JUMP +-= 1; PRINT; STOP; LABEL 1; STOP. At the first STOP one key
    // is pressed: keyed, the jump goes to label 1 and nothing prints; not, PRINT prints.
    const std::vector<Step> program = {27, 239, 1, 28, 27, 129, 27};
    for (const char* key : {"5", "dot", "chs", "exp", "dms"}) {
        Machine m;
        m->loadProgram(program);
        m.keys(std::string("startStop wait ") + key + " startStop wait");
        EXPECT_TRUE(m->tape().empty()) << key << " was not taken as a keyed number";
    }
    Machine none;
    none->loadProgram(program);
    none.keys("startStop wait startStop wait");
    EXPECT_EQ(none->tape().size(), 1u); // nothing keyed: on to PRINT
}

TEST(Rules, AVarianceRoundedBelowZeroIsZero) {
    // Three times 12.34: the rounded sums leave a variance a hair below zero,
    // whose square root would be the error state.
    Machine m;
    m.keys("12.34 sigma 12.34 sigma 12.34 sigma f 4");
    EXPECT_FALSE(m->error());
    EXPECT_EQ(m->E().v, 0);
}

TEST(Rules, AFullMemoryListsAll416Steps) {
    Machine m;
    m->loadProgram(std::vector<Step>(416, 56));
    m.keys("mode:step fwd");
    m.advance(416 * 0.5 + 5);
    EXPECT_FALSE(m->listing());
    EXPECT_EQ(m->tape().size(), 416u);
    EXPECT_EQ(m->tape().back().printed(), "·416  070  S");
}
