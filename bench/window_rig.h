// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator's own window on Qt's timers, shown and settled, for the
// benchmarks that measure the real window.
#pragma once

#include "app/MainWindow.h"
#include "app/ZoomSetting.h"
#include "cpu.h"
#include "engine/Engine.h"
#include "host/QtScheduler.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "storage/ShellSettings.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace vx::bench {

// LABEL 1, 1, ST+ 1, JUMP 1: four steps a round, register 1 counts rounds.
inline const std::vector<Step> countingLoop = {129, 1, 193, 1, 232, 1};

struct WindowRig {
    QtScheduler scheduler;
    MemorySettings settings;
    StdRandom random;
    Engine engine{scheduler, settings, random};
    UserPrograms library{Model::orbis410};
    KeyHelp help{true};
    ShellSettings shell{settings};
    ZoomSetting zoom{shell};
    MainWindow window{engine, library, help, zoom, shell};
    KeyboardMonitor monitor{engine, help, nullptr};

    // Shows the window with the host keyboard watched; false when it never appeared.
    bool show(QApplication& app) {
        monitor.watch(app);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window, 5000)) return false;
        runFor(1); // settle: first paints, fonts
        return true;
    }
};

// The longest the event loop was away while the machine ran: a precise
// timer asks every millisecond and notes the gaps.
struct GapProbe {
    explicit GapProbe(const Engine& engine) {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this, &engine] {
            if (engine.running()) longest = std::max(longest, sinceTurn.elapsed());
            sinceTurn.restart();
        });
        sinceTurn.start();
        timer.start(1);
    }
    QElapsedTimer sinceTurn;
    QTimer timer;
    qint64 longest = 0;
};

} // namespace vx::bench
