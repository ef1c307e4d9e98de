// SPDX-License-Identifier: GPL-3.0-or-later
// Letting simulated time pass until the machine rests: the batch mode's
// "wait" and every test of timed behaviour go through here.
#pragma once

#include <cstdint>
#include <functional>

namespace vx {

class Engine;
class SimulatedClock;

// Fires the clock's callbacks in order while the machine is busy, none due
// after `limitNanos`; when the next one lies beyond the limit the clock
// moves to the limit and the machine is left as it is. `after` is asked
// after every callback whether to go on. Answers false when `after` said no.
bool settle(Engine& engine, SimulatedClock& clock, std::int64_t limitNanos,
            const std::function<bool()>& after = {});

} // namespace vx
