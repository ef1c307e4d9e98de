// SPDX-License-Identifier: GPL-3.0-or-later
// What the pace benchmarks measure with: the process's CPU time and a stretch
// of wall-clock time with the event loop running.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

namespace vx::bench {

inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `seconds`.
inline void runFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace vx::bench
