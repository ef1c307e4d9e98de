// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Press, PowerOffIgnoresEveryKey) {
    Machine m;
    m->setPower(false);
    const MachineState before = m->state();
    EXPECT_EQ(m.keys("f 5 store")->state(), before);
}

TEST(Press, ARunningProgramOnlyHearsStartStop) {
    Machine m;
    ASSERT_TRUE(m.keys("mode:load f fwd 1 jump 1 mode:run startStop").after(0.01)->running());
    EXPECT_TRUE(m.keys("f 7")->running());
    EXPECT_FALSE(m->entry().has_value());
    EXPECT_EQ(m->prefix(), Prefix::none());
    m.keys("f startStop"); // the f was dropped; startStop stops
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->prefix(), Prefix::none());
}

TEST(Press, TheErrorStateTakesOnlyClearAndReset) {
    Machine m;
    ASSERT_TRUE(m.keys("7 / 0 =")->error());
    EXPECT_TRUE(m.keys("5 + sqrt f 3")->error());
    EXPECT_EQ(m.display(), "E-----");
    EXPECT_FALSE(m.keys("clear")->error());
    EXPECT_EQ(m.display(), "0.0000");
}

TEST(Press, AHandKeyedJumpPositionsTheCounterOnly) {
    Machine m;
    m->loadProgram({1, 2, 133, 4});
    m.keys("jump + = 5");
    EXPECT_EQ(m->pc(), 3); // E = 0 satisfies "+="
    EXPECT_FALSE(m->running());
    m->setCounter(1);
    m.keys("1 chs jump + = 5"); // the entry is committed first: -1 fails the test
    EXPECT_EQ(m->pc(), 1);
    EXPECT_EQ(m->E().v, -1);
    m.keys("jump + - = 5"); // asks whether a number was keyed: it was
    EXPECT_EQ(m->pc(), 3);
    m->setCounter(1);
    m.keys("jump + - = 5"); // and that answer was used up
    EXPECT_EQ(m->pc(), 1);
}

TEST(Press, FwdOutsideLoadShowsTheStepsForAMoment) {
    Machine m;
    m->loadProgram({56, 57});
    m->setCounter(2);
    m.keys("fwd");
    EXPECT_EQ(vx::test::showCells(m->cells()), "070 .002  071    ");
    EXPECT_TRUE(m.after(1.49)->temporaryDisplay());
    EXPECT_EQ(m.after(0.02).display(), "0.0000");
    m.keys("fwd 5"); // a key ends the temporary display at once
    EXPECT_EQ(m.display(), "5.0000");
}
