// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

using vx::test::failsWith;

TEST(Statistics, SumsWithFrequencyMeanAndDeviation) {
    Machine m;
    EXPECT_EQ(m.keys("5 sigma 3 =")->registers()[1].v, 3);
    EXPECT_EQ(m->registers()[2].v, 15);
    EXPECT_EQ(m->registers()[3].v, 75);
    EXPECT_EQ(m.tape(), (Lines{"      5.0000 Σ", "      3.0000 ="}));
    EXPECT_EQ(m.keys("f 3")->E().v, 5);
    EXPECT_EQ(m.keys("sdMean")->E().v, 0);

    Machine s;
    EXPECT_EQ(s.keys("2 sigma 4 sigma 4 sigma 4 sigma 5 sigma 5 sigma 7 sigma 9 sigma f sdMean sdMean")
                  ->registers()[1]
                  .v,
              8);
    EXPECT_EQ(s->E().v, 2.138089935299);
    EXPECT_EQ(s.keys("9 f sigma f sdMean")->E().v, 4.428571428571);
    EXPECT_EQ(s.keys("4 f sigma 2 =")->registers()[1].v, 5);
}

TEST(Statistics, FailuresAndTheEndOfTheFrequency) {
    EXPECT_TRUE(failsWith("f 0 f 3"));
    EXPECT_TRUE(failsWith("5 sigma sdMean"));
    Machine m;
    m.keys("5 sigma + 2 =");
    EXPECT_EQ(m->registers()[1].v, 1); // "+" ended the pending frequency
    EXPECT_EQ(m->E().v, 7);
    EXPECT_EQ(m.keys("f 0")->registers()[1], Num::zero);
    EXPECT_EQ(m->registers()[2], Num::zero);
}

TEST(Statistics, SumsOutOfRangeRaiseTheErrorBeforeAnyChanges) {
    // Σx² of 9.999e99 would be about 1e200.
    Machine m;
    m.keys("2 sigma");
    const std::vector<Num> before = m->registers();
    EXPECT_TRUE(m.keys("9.999 exp 99 sigma")->error());
    EXPECT_EQ(m->registers(), before);
    EXPECT_EQ(m.tape().size(), 2u) << "the first Σ line and the error line, no second Σ line";
    // x = 1e50 already squares out of range.
    Machine square;
    EXPECT_TRUE(square.keys("1 exp 50 sigma")->error());
    EXPECT_EQ(square->registers()[1], Num::zero);
    // The frequency completion is checked the same way, and leaves nothing pending.
    Machine often;
    EXPECT_TRUE(often.keys("1 exp 40 sigma 1 exp 30 =")->error());
    EXPECT_EQ(often->registers()[1].v, 1);
    EXPECT_EQ(often->registers()[3].v, 1e80);
    // A square too small to show is zero; the count and the sum stay exact.
    Machine tiny;
    EXPECT_FALSE(tiny.keys("1 exp 60 chs sigma")->error());
    EXPECT_EQ(tiny->registers()[1].v, 1);
    EXPECT_EQ(tiny->registers()[2].v, 1e-60);
    EXPECT_EQ(tiny->registers()[3], Num::zero);
}

TEST(Statistics, AVarianceRoundedBelowZeroIsZero) {
    // Three times 12.34: the rounded sums leave a variance a hair below zero,
    // whose square root would be the error state.
    Machine m;
    EXPECT_FALSE(m.keys("12.34 sigma 12.34 sigma 12.34 sigma f 4")->error());
    EXPECT_EQ(m->E().v, 0);
}
