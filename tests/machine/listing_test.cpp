// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(Listing, PrintsFromTheCounterToTheLastStepAtThePrintersPace) {
    Machine m;
    m->loadProgram({56, 57, 192, 5, 27});
    m.keys("mode:step fwd");
    EXPECT_TRUE(m->listing());
    EXPECT_TRUE(m->tape().empty()); // FWD returns at once; the task prints
    m.advance(0);
    EXPECT_EQ(m.tape(), (Lines{"·001  070  S"}));
    m.advance(0.49);
    EXPECT_EQ(m->tape().size(), 1u);
    m.advance(0.01);
    EXPECT_EQ(m->tape().size(), 2u);
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
    m.keys("mode:step fwd wait");
    EXPECT_EQ(m.tape(), (Lines{"·001  070  S", "·002", "·003", "·004  071  C"}));
}

TEST(Listing, NothingToListEndsAtOnce) {
    Machine m;
    m->loadProgram({56});
    m->setCounter(2);
    m.keys("mode:step fwd");
    m.advance(0);
    EXPECT_FALSE(m->listing());
    EXPECT_TRUE(m->tape().empty());
}

TEST(Listing, AKeyInTheSameInstantAsFwdPrintsNothing) {
    Machine m;
    m->loadProgram({56, 57});
    m.keys("mode:step fwd 9");
    m.advance(5);
    EXPECT_FALSE(m->listing());
    EXPECT_TRUE(m->tape().empty());
    EXPECT_FALSE(m->entry().has_value());
}

TEST(Listing, AnyKeyStopsItAndDoesNothingElse) {
    Machine m;
    m->loadProgram({1, 2, 3, 4, 5, 6});
    m.keys("mode:step fwd");
    m.advance(0.5);
    m.keys("9");
    EXPECT_FALSE(m->listing());
    EXPECT_FALSE(m->entry().has_value());
    m.advance(5);
    EXPECT_EQ(m->tape().size(), 2u);
    // A new listing right away does not run beside the old one.
    m.keys("fwd");
    m.advance(0.2);
    m.keys("9 fwd");
    m.advance(0.4);
    EXPECT_EQ(m->tape().size(), 4u);
    m.advance(5);
    EXPECT_EQ(m->tape().size(), 6u);
}

TEST(Listing, SwitchesStopIt) {
    Machine m;
    m->loadProgram({1, 2, 3, 4, 5, 6});
    m.keys("mode:step fwd");
    m.advance(0);
    m.keys("printer:off");
    m.advance(5);
    EXPECT_FALSE(m->listing());
    EXPECT_EQ(m->tape().size(), 1u);
    m.keys("printer:on fwd");
    m.advance(0);
    m.keys("mode:run");
    m.advance(5);
    EXPECT_EQ(m->tape().size(), 2u);
}

TEST(Listing, WithThePrinterOffFwdShowsThePosition) {
    Machine m;
    m->loadProgram({56, 57});
    m.keys("mode:step printer:off fwd");
    EXPECT_FALSE(m->listing());
    EXPECT_TRUE(m->temporaryDisplay());
    m.advance(1.5);
    EXPECT_FALSE(m->temporaryDisplay());
}

TEST(Listing, OperandStepsOnBothModels) {
    Machine small;
    small->loadProgram({232, 5, 192, 10});
    small.keys("mode:step fwd wait");
    EXPECT_EQ(small.tape(), (Lines{"·001  350  J", "·002  005  5", "·003  300  ST", "·004  012  ."}));
    Machine big(Model::orbis412);
    big->loadProgram({232, 5, 192, 10, 200, 112});
    big.keys("mode:step fwd wait");
    EXPECT_EQ(big.tape(), (Lines{"·001  350  J", "·002  005  5", "·003  300  ST", "·004  010",
                                 "·005  310  RC", "·006  112"}));
}

TEST(Listing, AFullMemoryListsAll416Steps) {
    Machine m;
    m->loadProgram(std::vector<Step>(416, 56));
    m.keys("mode:step fwd");
    m.advance(416 * 0.5 + 5);
    EXPECT_FALSE(m->listing());
    EXPECT_EQ(m->tape().size(), 416u);
    EXPECT_EQ(m->tape().back().printed(), "·416  070  S");
}
