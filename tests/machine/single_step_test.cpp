// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(SingleStep, ShowsThePositionThenPrintsAndExecutes) {
    Machine m;
    m.keyInProgram("5 f sqrt startStop");
    m.keys("mode:step startStop");
    EXPECT_TRUE(m->stepBusy());
    EXPECT_EQ(vx::test::showCells(m->cells()), "    .001  005 162");
    m.keys("7"); // dropped while the step waits
    m.advance(0.69);
    EXPECT_TRUE(m->tape().empty());
    m.advance(0.02);
    EXPECT_FALSE(m->stepBusy());
    EXPECT_EQ(m.tape(), (Lines{"·001  005  5"}));
    EXPECT_EQ(m.display(), "5.0000");
    m.keys("startStop wait");
    EXPECT_EQ(m.tapeSince(1), (Lines{"·002  162  SQ", "      5.0000 SQ", "     25.0000"}));
    m.keys("startStop wait");
    EXPECT_EQ(m->pc(), 4); // a single-stepped STOP stops nothing but moves on
    EXPECT_FALSE(m->running());
}

TEST(SingleStep, AnEmptyStepPrintsItsNumberAndTheNextStepRuns) {
    Machine m;
    m->loadProgram({std::nullopt, 7});
    m.keys("mode:step startStop wait");
    EXPECT_EQ(m.tape(), (Lines{"·001"}));
    EXPECT_EQ(m.display(), "7.0000");
    EXPECT_EQ(m->pc(), 3);
}

TEST(SingleStep, SwitchingOffWithinTheWaitPrintsNothing) {
    Machine m;
    m->loadProgram({7});
    m.keys("mode:step startStop power:off wait");
    EXPECT_TRUE(m->tape().empty());
    EXPECT_FALSE(m->stepBusy());
    m.keys("power:on 5");
    EXPECT_EQ(m.display(), "5.0000");
}

TEST(SingleStep, LeavingStepModeWithinTheWaitSkipsTheStep) {
    Machine m;
    m->loadProgram({7});
    m.keys("mode:step startStop mode:run wait");
    EXPECT_TRUE(m->tape().empty());
    EXPECT_EQ(m->pc(), 1);
    EXPECT_FALSE(m->stepBusy());
}
