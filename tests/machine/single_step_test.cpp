// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(SingleStep, ShowsThePositionThenPrintsAndExecutes) {
    Machine m;
    m.keyInProgram("5 f sqrt startStop");
    EXPECT_TRUE(m.keys("mode:step startStop")->stepBusy());
    EXPECT_EQ(vx::test::showCells(m->cells()), "    .001  005 162");
    m.keys("7"); // dropped while the step waits
    EXPECT_TRUE(m.after(0.69)->tape().empty());
    EXPECT_FALSE(m.after(0.02)->stepBusy());
    EXPECT_EQ(m.tape(), (Lines{"·001  005  5"}));
    EXPECT_EQ(m.display(), "5.0000");
    EXPECT_EQ(m.keys("startStop wait").tapeSince(1),
              (Lines{"·002  162  SQ", "      5.0000 SQ", "     25.0000"}));
    m.keys("startStop wait");
    EXPECT_EQ(m->pc(), 4); // a single-stepped STOP stops nothing but moves on
    EXPECT_FALSE(m->running());
}

TEST(SingleStep, AnEmptyStepPrintsItsNumberAndTheNextStepRuns) {
    Machine m;
    m->loadProgram({std::nullopt, 7});
    EXPECT_EQ(m.keys("mode:step startStop wait").tape(), (Lines{"·001"}));
    EXPECT_EQ(m.display(), "7.0000");
    EXPECT_EQ(m->pc(), 3);
}

TEST(SingleStep, SwitchingOffWithinTheWaitPrintsNothing) {
    Machine m;
    m->loadProgram({7});
    EXPECT_TRUE(m.keys("mode:step startStop power:off wait")->tape().empty());
    EXPECT_FALSE(m->stepBusy());
    EXPECT_EQ(m.keys("power:on 5").display(), "5.0000");
}

TEST(SingleStep, LeavingStepModeWithinTheWaitSkipsTheStep) {
    Machine m;
    m->loadProgram({7});
    EXPECT_TRUE(m.keys("mode:step startStop mode:run wait")->tape().empty());
    EXPECT_EQ(m->pc(), 1);
    EXPECT_FALSE(m->stepBusy());
}
