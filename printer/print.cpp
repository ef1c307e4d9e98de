// SPDX-License-Identifier: GPL-3.0-or-later
// The strip printer: number lines, plain tape lines and tearing off.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

void Engine::printNumber(Num num, const std::string& symbol, bool force) {
    // During a run the printer only takes what PRINT forces onto the paper.
    if (!force && (!printerOn_ || suppressPrint_)) return;
    appendLine(Formatter::printString(num, dp_, sciMode_), symbol, num.v < 0, false);
}

void Engine::appendLine(std::string text, std::string symbol, bool red, bool left) {
    tape_.push_back(TapeLine{newLineId(), std::move(text), std::move(symbol), red, left, printingStep_});
    changed();
}

void Engine::clearTape() {
    tape_.clear();
    // Every tear leaves a new edge.
    do tearSeed_ = random_.next32();
    while (tearSeed_ == 0);
    bump();
}

} // namespace vx
