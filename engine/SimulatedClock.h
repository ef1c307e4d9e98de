// SPDX-License-Identifier: GPL-3.0-or-later
// A clock that moves only when told to. Due callbacks fire in order of due
// time; callbacks due at the same moment fire in the order they were
// scheduled. Tests and the batch mode use it, so nothing ever sleeps.
#pragma once

#include "engine/Host.h"

#include <cstdint>
#include <map>
#include <utility>

namespace vx {

class SimulatedClock : public Scheduler {
  public:
    Handle after(double seconds, std::function<void()> fn) override;
    Handle every(double seconds, std::function<void()> fn) override;
    void cancel(Handle handle) override;

    // Current time in nanoseconds and seconds since the clock was made.
    std::int64_t nowNanos() const { return now_; }
    double now() const override { return static_cast<double>(now_) / 1e9; }
    // Due time of the next pending callback, if any.
    std::optional<std::int64_t> nextDue() const;
    // Fires the earliest callback when it is due no later than `limitNanos`,
    // moving the clock to its due time. Returns whether one fired.
    bool runNext(std::int64_t limitNanos);
    // Lets `seconds` pass, firing everything that falls due meanwhile.
    void advance(double seconds);
    std::size_t pending() const { return queue_.size(); }

  private:
    struct Item {
        Handle handle;
        std::int64_t period; // 0 for a one-shot callback
        std::function<void()> fn;
    };
    using Slot = std::pair<std::int64_t, std::uint64_t>; // due time, scheduling order
    Handle schedule(std::int64_t delay, std::int64_t period, std::function<void()> fn, Handle reuse);

    std::int64_t now_ = 0;
    std::uint64_t order_ = 0;
    Handle nextHandle_ = 1;
    std::map<Slot, Item> queue_;
    std::map<Handle, Slot> slots_;
};

std::int64_t toNanos(double seconds);

} // namespace vx
