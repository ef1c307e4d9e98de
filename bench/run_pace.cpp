// SPDX-License-Identifier: GPL-3.0-or-later
// The real-time pace of a program run with the window's Qt timers: a
// computing loop should reach 3,000 steps a second on little CPU, and a
// printing program should keep half a second per line.
//   run_pace [seconds]
#include "cpu.h"
#include "engine/Engine.h"
#include "host/QtScheduler.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace vx;
using vx::bench::cpuSeconds;
using vx::bench::runFor;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    QtScheduler scheduler;
    MemorySettings settings;
    StdRandom random;

    {
        // LABEL 1, 1, ST+ 1, JUMP 1: four steps a round, register 1 counts rounds.
        Engine engine(scheduler, settings, random);
        engine.loadProgram({129, 1, 193, 1, 232, 1});
        engine.press(KeyKind::startStop);
        const double cpu0 = cpuSeconds();
        const auto t0 = Clock::now();
        runFor(seconds);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double steps = 4 * engine.registers()[1].v;
        std::printf("computing loop: %.0f steps/s (%.1f %% of 3,000), CPU %.1f %% of one core\n",
                    steps / wall, steps / wall / 30.0, (cpuSeconds() - cpu0) / wall * 100);
    }
    {
        // LABEL 1, PRINT, JUMP 1: one line per slice, half a second each.
        Engine engine(scheduler, settings, random);
        engine.loadProgram({129, 28, 232, 1});
        std::vector<Clock::time_point> printed;
        std::size_t lines = 0;
        engine.addListener([&](const MachineEvent& event) {
            if (event.kind == MachineEvent::Kind::line) {
                ++lines;
                printed.push_back(Clock::now());
            }
        });
        engine.press(KeyKind::startStop);
        runFor(seconds);
        if (printed.size() >= 2) {
            const double span = std::chrono::duration<double>(printed.back() - printed.front()).count();
            const double interval = span / static_cast<double>(printed.size() - 1);
            std::printf("printing program: %zu lines, %.4f s per line (%.2f %% off the 0.5 s pace)\n",
                        printed.size(), interval, (interval - 0.5) / 0.5 * 100);
        }
    }
    return 0;
}
