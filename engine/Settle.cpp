// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Settle.h"

#include "engine/Engine.h"
#include "engine/SimulatedClock.h"

namespace vx {

bool settle(Engine& engine, SimulatedClock& clock, std::int64_t limitNanos,
            const std::function<bool()>& after) {
    const auto goOn = [&] { return !after || after(); };
    while (engine.busy()) {
        const auto due = clock.nextDue();
        if (!due || *due > limitNanos) {
            if (clock.nowNanos() < limitNanos)
                clock.advance(static_cast<double>(limitNanos - clock.nowNanos()) / 1e9);
            return goOn();
        }
        clock.runNext(limitNanos);
        if (!goOn()) return false;
    }
    return true;
}

} // namespace vx
