// SPDX-License-Identifier: GPL-3.0-or-later
// The process's CPU time so far, user and system, in seconds.
#pragma once

#include <sys/resource.h>

namespace vx::bench {

inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace vx::bench
