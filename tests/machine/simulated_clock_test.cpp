// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SimulatedClock.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace vx;

TEST(SimulatedClock, FiresInDueOrderAndTiesInSchedulingOrder) {
    SimulatedClock clock;
    std::string order;
    clock.after(0.5, [&] { order += "b"; });
    clock.after(0.1, [&] { order += "a"; });
    clock.after(0.5, [&] { order += "c"; });
    auto cancelled = clock.after(0.2, [&] { order += "x"; });
    auto repeating = clock.every(0.3, [&] { order += "r"; });
    clock.cancel(cancelled);
    clock.advance(0.7);
    EXPECT_EQ(order, "arbcr");
    clock.cancel(repeating);
    clock.advance(5);
    EXPECT_EQ(order, "arbcr");
    EXPECT_DOUBLE_EQ(clock.now(), 5.7);
}

// The batch mode's time limit and every timed test rest on this: settling a
// machine that never comes to rest ends exactly at the limit, with the run
// still going and no step taken that advancing the clock would not take.
TEST(SimulatedClock, SettlingAnEndlessRunEndsAtTheLimitAsAdvancingWould) {
    test::Machine settled, advanced;
    for (test::Machine* m : {&settled, &advanced}) {
        m->keyInProgram("f fwd 1 jump 1");
        m->keys("startStop");
    }
    const std::int64_t start = settled.clock.nowNanos();
    settled.settle(2);
    advanced.advance(2);
    EXPECT_EQ(settled.clock.nowNanos(), start + 2'000'000'000);
    EXPECT_TRUE(settled->running());
    EXPECT_GT(settled->executionCounts()[0], 0u);
    EXPECT_EQ(settled->executionCounts(), advanced->executionCounts());
}
