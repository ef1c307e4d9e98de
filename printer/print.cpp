// SPDX-License-Identifier: GPL-3.0-or-later
// The strip printer: number lines, plain tape lines and tearing off.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

void Engine::printNumber(Num num, const std::string& symbol, bool force) {
    // During a run the printer only takes what PRINT forces onto the paper.
    if (!force && (!sw_.printerOn || timed_.suppressPrint)) return;
    appendLine(Formatter::printString(num, calc_.dp, calc_.sciMode), symbol, num.v < 0, false);
}

void Engine::appendLine(std::string text, std::string symbol, bool red, bool left) {
    paper_.tape.push(
        TapeLine{newLineId(), std::move(text), std::move(symbol), red, left, timed_.printingStep});
    bump();
}

void Engine::clearTape() {
    paper_.tape.clear();
    // Every tear leaves a new edge.
    do paper_.tearSeed = random_.next32();
    while (paper_.tearSeed == 0);
    bump();
}

} // namespace vx
