// SPDX-License-Identifier: GPL-3.0-or-later
// The batch script reader takes any text: it either reads it or names the
// bad token, and what it reads plays into a machine without harm.
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "program/BatchScript.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    std::vector<BatchAction> actions;
    try {
        actions = parseScript(script);
    } catch (const ScriptError& e) {
        if (e.token.empty() || e.position < 1 || e.line < 1 || e.column < 1) std::abort();
        return 0;
    }
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random(1);
    Engine engine(clock, settings, random);
    for (std::size_t i = 0; i < actions.size() && i < 2000; ++i) {
        if (actions[i].kind == BatchAction::Kind::wait)
            clock.advance(30);
        else
            apply(engine, actions[i]);
    }
    if (engine.cells().size() != 16) std::abort();
    return 0;
}
