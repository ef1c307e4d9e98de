// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SimulatedClock.h"

#include <gtest/gtest.h>

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
