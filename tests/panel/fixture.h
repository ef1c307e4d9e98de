// SPDX-License-Identifier: GPL-3.0-or-later
// A machine on the simulated clock with the whole panel over it, at the
// base zoom: what the panel tests and the panel benchmarks look at.
#pragma once

#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "host/QtScheduler.h"
#include "panel/CalculatorView.h"
#include "panel/KeyHelp.h"
#include "panel/ViewFeed.h"
#include "program/BatchScript.h"

#include <initializer_list>
#include <string>

namespace vx::test {

// Keys and switches in the batch mode's words ("mode:load 1 plus").
inline void play(Engine& engine, const std::string& script) {
    for (const BatchAction& action : parseScript(script)) apply(engine, action);
}

struct PanelFixture {
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{99};
    Engine engine{clock, settings, random};
    KeyHelp help{true};
    // Frames on the wall clock, as in the window: a fast run takes no simulated time.
    QtScheduler frames;
    ViewFeed feed{engine, frames};
    CalculatorView view{engine, help, feed};
    PanelFixture() { view.setFactor(1.0); }
    void keys(std::initializer_list<Key> list) {
        for (Key k : list) engine.press(k);
    }
};

} // namespace vx::test
