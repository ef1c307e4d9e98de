// SPDX-License-Identifier: GPL-3.0-or-later
// The fast tempo in the real window: a counting loop's rate against the
// same loop on the simulated clock (what the batch mode runs), the longest
// the event loop waited meanwhile, and how soon a START STOP typed during
// the run stops it. Run by bench/window_fast.sh, which starts Xvfb.
//   window_fast [seconds]
#include "engine/SimulatedClock.h"
#include "window_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace vx;
using namespace vx::bench;
using Clock = std::chrono::steady_clock;

namespace {

double simulatedRate(double seconds) {
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random;
    Engine engine(clock, settings, random);
    engine.loadProgram(countingLoop);
    engine.setTempo(Tempo::fast);
    engine.press(KeyKind::startStop);
    const auto t0 = Clock::now();
    double wall = 0;
    while (wall < seconds) {
        clock.runNext(clock.nowNanos());
        wall = std::chrono::duration<double>(Clock::now() - t0).count();
    }
    return 4 * engine.registers()[1].v / wall;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    WindowRig rig;
    Engine& engine = rig.engine;
    MainWindow& window = rig.window;
    if (!rig.show(app)) {
        std::fprintf(stderr, "window_fast: the window did not appear\n");
        return 1;
    }

    engine.loadProgram(countingLoop);
    engine.setTempo(Tempo::fast);
    engine.press(KeyKind::startStop);
    GapProbe probe(engine);
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    runFor(seconds);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double windowRate = 4 * engine.registers()[1].v / wall;
    const double cpu = (cpuSeconds() - cpu0) / wall * 100;

    // A typed space is START STOP: posted as the keyboard would, timed to the stop.
    QElapsedTimer toStop;
    toStop.start();
    QCoreApplication::postEvent(window.windowHandle(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Space,
                                                                     Qt::NoModifier, QStringLiteral(" ")));
    QCoreApplication::postEvent(window.windowHandle(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space,
                                                                     Qt::NoModifier, QStringLiteral(" ")));
    while (engine.running() && toStop.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const qint64 stopMs = toStop.elapsed();
    probe.timer.stop();

    const double batchRate = simulatedRate(seconds);
    std::printf("fast counting loop in the window: %.0f steps/s, CPU %.0f %% of one core\n", windowRate, cpu);
    std::printf(
        "the same loop on the simulated clock (the batch mode's machine): %.0f steps/s; window/batch = "
        "%.2f\n",
        batchRate, windowRate / batchRate);
    std::printf("longest wait of the event loop during the run: %lld ms\n",
                static_cast<long long>(probe.longest));
    std::printf("a typed START STOP stopped the run after %lld ms (%s)\n", static_cast<long long>(stopMs),
                engine.running() ? "still running!" : "stopped");
    return engine.running() ? 1 : 0;
}
