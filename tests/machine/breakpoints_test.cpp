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

TEST(Breakpoints, DeleteOnOrBesideABreakpointMovesOrDropsOnlyThatStep) {
    // Steps 1-5 hold a program; breakpoints on 2 and 4. DELETE in LOAD mode
    // removes the step under the counter and its breakpoint with it.
    const struct {
        int deleted;
        std::vector<int> after;
    } cases[] = {
        {1, {1, 3}},              // before both: both move up
        {2, {3}},                 // on one: it goes with its step
        {3, {2, 3}},              // between: only the later one moves
        {4, {2}},    {5, {2, 4}}, // after both: nothing moves
    };
    for (const auto& [deleted, after] : cases) {
        Machine m;
        m.keyInProgram("1 + 2 + 3");
        m->setBreakpoint(2, true);
        m->setBreakpoint(4, true);
        m.keys("mode:load");
        m->setCounter(deleted);
        m.keys("f insert mode:run");
        std::vector<int> on;
        for (int step = 1; step <= Codes::steps; ++step)
            if (m->breakpoint(step)) on.push_back(step);
        EXPECT_EQ(on, after) << "DELETE on step " << deleted;
    }
}
