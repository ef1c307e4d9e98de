// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Breakpoints, ARunStopsBeforeTheStepAndContinuesWithIt) {
    Machine m;
    m.keyInProgram("1 printKey 2 printKey 3 printKey startStop");
    m->setBreakpoint(3, true);
    m.keys("startStop");
    m.advance(5);
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->pc(), 3) << "stopped before step 3";
    EXPECT_EQ(m.tape().size(), 1u);
    m.keys("startStop");
    m.advance(5);
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m.tape().size(), 3u) << "continuing executes step 3";
    // STEP mode ignores breakpoints.
    m->setCounter(3);
    m.keys("mode:step startStop");
    m.advance(1);
    EXPECT_EQ(m->pc(), 4);
    // INS and DELETE move them with their steps; power off clears them.
    m.keys("mode:load");
    m->setCounter(1);
    m.keys("insert");
    EXPECT_TRUE(m->breakpoint(4));
    EXPECT_FALSE(m->breakpoint(3));
    m.keys("f insert f insert");
    EXPECT_TRUE(m->breakpoint(2));
    m.keys("power:off power:on");
    EXPECT_FALSE(m->breakpoint(2));
    m->setBreakpoint(5, true);
    m->select(Model::orbis412);
    EXPECT_FALSE(m->breakpoint(5));
    m->setBreakpoint(5, true);
    m->loadProgram({56});
    EXPECT_FALSE(m->breakpoint(5));
}

TEST(Breakpoints, WithoutAnyTheRunIsTheSameToTheLine) {
    Machine plain, marked;
    for (Machine* m : {&plain, &marked}) {
        m->keyInProgram("f fwd 1 1 store + 1 recall 1 printKey jump 1");
    }
    marked->setBreakpoint(7, true);
    marked->setBreakpoint(7, false);
    for (Machine* m : {&plain, &marked}) {
        m->keys("startStop");
        m->advance(20);
    }
    EXPECT_EQ(marked.tape(), plain.tape());
}
