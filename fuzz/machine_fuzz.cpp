// SPDX-License-Identifier: GPL-3.0-or-later
// Any sequence of key presses, switch moves and passing time, on both
// models, keeps the machine whole: checked after every event.
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "tests/machine/invariants.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    SimulatedClock clock;
    MemorySettings settings;
    saveModel(settings, data[0] & 1 ? Model::orbis412 : Model::orbis410);
    StdRandom random(data[0]);
    Engine engine(clock, settings, random);
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i], arg = data[i + 1];
        const std::size_t before = engine.tape().size();
        bool tornOff = false;
        if (op < 160) {
            engine.press(keyRows[arg % keyCount].key);
        } else if (op < 176) {
            engine.setMode(static_cast<Mode>(arg % 3));
        } else if (op < 184) {
            engine.setPrinterOn(arg & 1);
        } else if (op < 188) {
            engine.setGradMode(arg & 1);
        } else if (op < 190) {
            engine.setTapeWritesProgram(arg & 1);
        } else if (op < 194) {
            engine.setPower(arg & 1);
        } else if (op < 196) {
            engine.select(arg & 1 ? Model::orbis412 : Model::orbis410);
        } else if (op < 254) {
            clock.advance(arg * 0.004); // up to about a second
        } else {
            engine.clearTape();
            tornOff = true;
        }
        check(vx::test::brokenInvariant(engine, before, tornOff).empty());
    }
    return 0;
}
