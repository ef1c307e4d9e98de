// SPDX-License-Identifier: GPL-3.0-or-later
// The real window while a program runs: the computing loop of run_pace in
// the calculator's own window on a real X server, with the panel painting
// what changes. Reports the loop's pace and the process's CPU, and the CPU
// of the idle window. Run by bench/window_pace.sh, which starts Xvfb.
//   window_pace [seconds]
#include "app/MainWindow.h"
#include "app/ZoomSetting.h"
#include "cpu.h"
#include "engine/Engine.h"
#include "panel/KeyHelp.h"
#include "storage/QtScheduler.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace vx;
using vx::bench::cpuSeconds;
using vx::bench::runFor;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    QtScheduler scheduler;
    MemorySettings settings;
    StdRandom random;
    Engine engine(scheduler, settings, random);
    UserPrograms library(Model::orbis410);
    KeyHelp help(true);
    ZoomSetting zoom(settings);
    MainWindow window(engine, library, help, zoom);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 5000)) {
        std::fprintf(stderr, "window_pace: the window did not appear\n");
        return 1;
    }
    runFor(1); // settle: first paints, fonts

    double cpu0 = cpuSeconds();
    auto t0 = Clock::now();
    runFor(seconds);
    double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("idle window: CPU %.2f %% of one core\n", (cpuSeconds() - cpu0) / wall * 100);

    // LABEL 1, 1, ST+ 1, JUMP 1: four steps a round, register 1 counts rounds.
    engine.loadProgram({129, 1, 193, 1, 232, 1});
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
