// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(Listing, PrintsFromTheCounterToTheLastStepAtThePrintersPace) {
    Machine m;
    m->loadProgram({56, 57, 192, 5, 27});
    EXPECT_TRUE(m.keys("mode:step fwd")->listing());
    EXPECT_TRUE(m->tape().empty()); // FWD returns at once; the task prints
    EXPECT_EQ(m.after(0).tape(), (Lines{"·001  070  S"}));
    EXPECT_EQ(m.after(0.49)->tape().size(), 1u);
    EXPECT_EQ(m.after(0.01)->tape().size(), 2u);
    m.advance(2);
    EXPECT_EQ(m.tape(),
              (Lines{"·001  070  S", "·002  071  C", "·003  300  ST", "·004  005  5", "·005  033  SS"}));
    EXPECT_FALSE(m->listing());
    EXPECT_EQ(m->pc(), 6);
    EXPECT_TRUE(m.redLines().empty());
}

TEST(Listing, EmptyStepsInsideTheProgramAreListed) {
    Machine m;
    m->loadProgram({56, std::nullopt, std::nullopt, 57});
    EXPECT_EQ(m.keys("mode:step fwd wait").tape(), (Lines{"·001  070  S", "·002", "·003", "·004  071  C"}));
}

TEST(Listing, NothingToListEndsAtOnce) {
    Machine m;
    m->loadProgram({56});
    m->setCounter(2);
    EXPECT_FALSE(m.keys("mode:step fwd").after(0)->listing());
    EXPECT_TRUE(m->tape().empty());
}

TEST(Listing, AKeyInTheSameInstantAsFwdPrintsNothing) {
    Machine m;
    m->loadProgram({56, 57});
    EXPECT_FALSE(m.keys("mode:step fwd 9").after(5)->listing());
    EXPECT_TRUE(m->tape().empty());
    EXPECT_FALSE(m->entry().has_value());
}

TEST(Listing, AnyKeyStopsItAndDoesNothingElse) {
    Machine m;
    m->loadProgram({1, 2, 3, 4, 5, 6});
    m.keys("mode:step fwd");
    EXPECT_FALSE(m.after(0.5).keys("9")->listing());
    EXPECT_FALSE(m->entry().has_value());
    EXPECT_EQ(m.after(5)->tape().size(), 2u);
    // A new listing right away does not run beside the old one.
    m.keys("fwd");
    m.advance(0.2);
    EXPECT_EQ(m.keys("9 fwd").after(0.4)->tape().size(), 4u);
    EXPECT_EQ(m.after(5)->tape().size(), 6u);
}

TEST(Listing, SwitchesStopIt) {
    Machine m;
    m->loadProgram({1, 2, 3, 4, 5, 6});
    m.keys("mode:step fwd");
    m.advance(0);
    EXPECT_FALSE(m.keys("printer:off").after(5)->listing());
    EXPECT_EQ(m->tape().size(), 1u);
    m.keys("printer:on fwd");
    m.advance(0);
    EXPECT_EQ(m.keys("mode:run").after(5)->tape().size(), 2u);
}

TEST(Listing, WithThePrinterOffFwdShowsThePosition) {
    Machine m;
    m->loadProgram({56, 57});
    EXPECT_FALSE(m.keys("mode:step printer:off fwd")->listing());
    EXPECT_TRUE(m->temporaryDisplay());
    EXPECT_FALSE(m.after(1.5)->temporaryDisplay());
}

TEST(Listing, OperandStepsOnBothModels) {
    Machine small;
    small->loadProgram({232, 5, 192, 10});
    EXPECT_EQ(small.keys("mode:step fwd wait").tape(),
              (Lines{"·001  350  J", "·002  005  5", "·003  300  ST", "·004  012  ."}));
    Machine big(Model::orbis412);
    big->loadProgram({232, 5, 192, 10, 200, 112});
    big.keys("mode:step fwd wait");
    EXPECT_EQ(big.tape(), (Lines{"·001  350  J", "·002  005  5", "·003  300  ST", "·004  010",
                                 "·005  310  RC", "·006  112"}));
}

TEST(Listing, AFullMemoryListsAll416Steps) {
    Machine m;
    m->loadProgram(std::vector<Step>(416, 56));
    EXPECT_FALSE(m.keys("mode:step fwd").after(416 * 0.5 + 5)->listing());
    EXPECT_EQ(m->tape().size(), 416u);
    EXPECT_EQ(m->tape().back().printed(), "·416  070  S");
}
