// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SimulatedClock.h"

#include <cmath>

namespace vx {

std::int64_t toNanos(double seconds) {
    if (!(seconds > 0)) return 0;
    return static_cast<std::int64_t>(std::llround(seconds * 1e9));
}

Scheduler::Handle SimulatedClock::schedule(std::int64_t delay, std::int64_t period, std::function<void()> fn,
                                           Handle reuse) {
    Handle h = reuse ? reuse : nextHandle_++;
    Slot slot{now_ + delay, order_++};
    queue_.emplace(slot, Item{h, period, std::move(fn)});
    slots_[h] = slot;
    return h;
}

Scheduler::Handle SimulatedClock::after(double seconds, std::function<void()> fn) {
    return schedule(toNanos(seconds), 0, std::move(fn), 0);
}

Scheduler::Handle SimulatedClock::every(double seconds, std::function<void()> fn) {
    std::int64_t period = std::max<std::int64_t>(toNanos(seconds), 1);
    return schedule(period, period, std::move(fn), 0);
}

void SimulatedClock::cancel(Handle handle) {
    auto it = slots_.find(handle);
    if (it == slots_.end()) return;
    queue_.erase(it->second);
    slots_.erase(it);
}

std::optional<std::int64_t> SimulatedClock::nextDue() const {
    if (queue_.empty()) return std::nullopt;
    return queue_.begin()->first.first;
}

bool SimulatedClock::runNext(std::int64_t limitNanos) {
    if (queue_.empty()) return false;
    auto it = queue_.begin();
    if (it->first.first > limitNanos) return false;
    now_ = std::max(now_, it->first.first);
    Item item = std::move(it->second);
    queue_.erase(it);
    slots_.erase(item.handle);
    if (item.period > 0) {
        // A repeating timer is due again one period later; it counts as
        // scheduled now for the order among equal due times.
        schedule(item.period, item.period, item.fn, item.handle);
    }
    item.fn();
    return true;
}

void SimulatedClock::advance(double seconds) {
    std::int64_t target = now_ + toNanos(seconds);
    while (runNext(target)) {
    }
    now_ = std::max(now_, target);
}

} // namespace vx
