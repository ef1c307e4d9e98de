// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Breakpoints, ARunStopsBeforeTheStepAndContinuesWithIt) {
    Machine m;
    m.keyInProgram("1 printKey 2 printKey 3 printKey startStop");
    m->setBreakpoint(3, true);
    EXPECT_FALSE(m.keys("startStop").after(5)->running());
    EXPECT_EQ(m->pc(), 3) << "stopped before step 3";
    EXPECT_EQ(m.tape().size(), 1u);
    EXPECT_FALSE(m.keys("startStop").after(5)->running());
    EXPECT_EQ(m.tape().size(), 3u) << "continuing executes step 3";
    // STEP mode ignores breakpoints.
    m->setCounter(3);
    EXPECT_EQ(m.keys("mode:step startStop").after(1)->pc(), 4);
    // INS and DELETE move them with their steps; power off clears them.
    m.keys("mode:load");
    m->setCounter(1);
    EXPECT_TRUE(m.keys("insert")->breakpoint(4));
    EXPECT_FALSE(m->breakpoint(3));
    EXPECT_TRUE(m.keys("f insert f insert")->breakpoint(2));
    EXPECT_FALSE(m.keys("power:off power:on")->breakpoint(2));
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

namespace {
// Steps 1 ... n hold codes 10, 20, 30, ...; each step's count is its code
// and odd steps carry a breakpoint, so every mark tells where it came from.
ProgramMemory marked(int n) {
    ProgramMemory memory;
    for (int step = 1; step <= n; ++step) {
        memory.store(step, step * 10);
        memory.setCount(step, static_cast<std::uint64_t>(step * 10));
        memory.setBreakpoint(step, step % 2 == 1);
    }
    return memory;
}

// Each step as "code:count" with a "*" for a breakpoint.
std::vector<std::string> slots(const ProgramMemory& memory) {
    std::vector<std::string> out;
    for (const Step& code : memory.steps()) {
        const int step = static_cast<int>(out.size()) + 1;
        out.push_back(std::to_string(code.value_or(-1)) + ":" + std::to_string(memory.count(step)) +
                      (memory.breakpoint(step) ? "*" : ""));
    }
    return out;
}
} // namespace

TEST(ProgramMemory, WhatSitsBesideAStepMovesWithIt) {
    using Slots = std::vector<std::string>;
    const struct {
        const char* what;
        void (*change)(ProgramMemory&);
        Slots after;
    } cases[] = {
        {"INS at 2", [](ProgramMemory& m) { m.insert(2); }, {"10:10*", "-1:0", "20:20", "30:30*"}},
        {"DELETE at 1", [](ProgramMemory& m) { m.remove(1); }, {"20:20", "30:30*"}},
        {"keyed over", [](ProgramMemory& m) { m.store(2, 7); }, {"10:10*", "7:20", "30:30*"}},
        {"cleared", [](ProgramMemory& m) { m.clear(); }, {}},
        {"loaded",
         [](ProgramMemory& m) {
             m.load({10, 20});
         },
         {"10:0", "20:0"}},
        // An edit keeps the marks of every step it left alone, before, between and after its changes.
        {"revised: one changed",
         [](ProgramMemory& m) {
             m.revise({10, 99, 30});
         },
         {"10:10*", "99:0", "30:30*"}},
        {"revised: one put in",
         [](ProgramMemory& m) {
             m.revise({5, 10, 20, 30});
         },
         {"5:0", "10:10*", "20:20", "30:30*"}},
        {"revised: two apart",
         [](ProgramMemory& m) {
             m.revise({11, 20, 31});
         },
         {"11:0", "20:20", "31:0"}},
        {"revised: unchanged",
         [](ProgramMemory& m) {
             m.revise({10, 20, 30});
         },
         {"10:10*", "20:20", "30:30*"}},
        {"revised: emptied", [](ProgramMemory& m) { m.revise({}); }, {}},
    };
    for (const auto& c : cases) {
        ProgramMemory memory = marked(3);
        c.change(memory);
        EXPECT_EQ(slots(memory), c.after) << c.what;
        EXPECT_EQ(memory.codes().size(), static_cast<std::size_t>(Codes::steps)) << c.what;
    }
    // The last step falls off at INS, marks and all; DELETE brings in an empty place.
    ProgramMemory full = marked(Codes::steps);
    full.insert(1);
    EXPECT_EQ(full.at(Codes::steps), Codes::steps * 10 - 10);
    EXPECT_EQ(full.count(Codes::steps), static_cast<std::uint64_t>(Codes::steps * 10 - 10));
    full.remove(1);
    EXPECT_FALSE(full.at(Codes::steps));
    EXPECT_FALSE(full.breakpoint(Codes::steps) || full.count(Codes::steps));
}
