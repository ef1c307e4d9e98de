// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/QtScheduler.h"

#include <QTimer>

#include <cmath>

namespace vx {

QtScheduler::~QtScheduler() {
    for (auto& [handle, timer] : timers_) delete timer;
}

Scheduler::Handle QtScheduler::start(double seconds, bool repeat, std::function<void()> fn) {
    const Handle handle = next_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(!repeat);
    timer->setTimerType(Qt::PreciseTimer);
    timers_[handle] = timer;
    connect(timer, &QTimer::timeout, this, [this, handle, repeat, fn = std::move(fn)] {
        if (!repeat) {
            auto it = timers_.find(handle);
            if (it == timers_.end()) return;
            it->second->deleteLater();
            timers_.erase(it);
        }
        fn();
    });
    timer->start(std::max(0, static_cast<int>(std::lround(seconds * 1000.0))));
    return handle;
}

Scheduler::Handle QtScheduler::after(double seconds, std::function<void()> fn) {
    return start(seconds, false, std::move(fn));
}

Scheduler::Handle QtScheduler::every(double seconds, std::function<void()> fn) {
    return start(seconds, true, std::move(fn));
}

void QtScheduler::cancel(Handle handle) {
    auto it = timers_.find(handle);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

} // namespace vx
