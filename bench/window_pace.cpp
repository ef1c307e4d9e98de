// SPDX-License-Identifier: GPL-3.0-or-later
// The real window while a program runs: the computing loop of run_pace in
// the calculator's own window on a real X server, with the panel painting
// what changes. Reports the loop's pace and the process's CPU, and the CPU
// of the idle window. Run by bench/window_pace.sh, which starts Xvfb.
//   window_pace [seconds] [sheet]   (sheet: with the program sheet open beside the panel)

#include "app/ProgramSheet.h"
#include "window_rig.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace vx;
using namespace vx::bench;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    WindowRig rig;
    Engine& engine = rig.engine;
    if (!rig.show(app)) {
        std::fprintf(stderr, "window_pace: the window did not appear\n");
        return 1;
    }
    const bool sheet = argc > 2 && std::strcmp(argv[2], "sheet") == 0;
    if (sheet) {
        rig.window.showSheet();
        runFor(1);
        std::printf("with the program sheet open\n");
    }

    double cpu0 = cpuSeconds();
    auto t0 = Clock::now();
    runFor(seconds);
    double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("idle window: CPU %.2f %% of one core\n", (cpuSeconds() - cpu0) / wall * 100);

    engine.loadProgram(countingLoop);
    engine.press(KeyKind::startStop);
    cpu0 = cpuSeconds();
    t0 = Clock::now();
    runFor(seconds);
    wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double steps = 4 * engine.registers()[1].v;
    std::printf("computing loop in the window: %.0f steps/s (%.1f %% of 3,000), CPU %.1f %% of one core\n",
                steps / wall, steps / wall / 30.0, (cpuSeconds() - cpu0) / wall * 100);
    return 0;
}
