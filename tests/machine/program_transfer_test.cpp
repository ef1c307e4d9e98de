// SPDX-License-Identifier: GPL-3.0-or-later
// Whole programs handed to the machine and taken from it, as the library does.
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(ProgramTransfer, StepsOutAndIn) {
    Machine m;
    std::vector<Step> steps(10);
    steps[9] = 56;
    m->loadProgram(steps);
    EXPECT_EQ(m->programSteps(), steps);
    m->loadProgram({});
    EXPECT_TRUE(m->programSteps().empty());
    std::vector<Step> long_(500, 7);
    m.keys("3 store 1");
    m->setCounter(9);
    m->loadProgram(long_);
    EXPECT_EQ(m->programSteps().size(), 416u);
    EXPECT_EQ(m->pc(), 1);
    EXPECT_EQ(m->registers()[1].v, 3);
    m->loadProgram({1, 2, 3});
    EXPECT_EQ(m->programSteps(), (std::vector<Step>{1, 2, 3}));
}

TEST(ProgramTransfer, LoadingStopsARunningProgram) {
    Machine m;
    m->loadProgram({129, 232, 1});
    ASSERT_TRUE(m.keys("startStop").after(0.1)->running());
    m->loadProgram({5});
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m.after(1)->pc(), 1);
}
