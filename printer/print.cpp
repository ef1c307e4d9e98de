// SPDX-License-Identifier: GPL-3.0-or-later
// The strip printer: number lines, plain tape lines and tearing off.
#include "display/Formatter.h"
#include "engine/Engine.h"

#include <utility>

namespace vx {

void Engine::printNumber(Num num, const std::string& symbol, bool force) {
    // During a run the printer only takes what PRINT forces onto the paper.
    if (!force && (!sw_.printerOn || timed_.suppressPrint)) return;
    appendLine(Formatter::printString(num, calc_.dp, calc_.sciMode), symbol, num.v < 0, false);
}

void Engine::appendLine(std::string text, std::string symbol, bool red, bool left) {
    if (!listeners_.empty()) {
        // The hammers strike once for each printed character; an empty line is a feed.
        int characters = 0;
        for (const std::string* part : {&text, &symbol})
            for (const char c : *part)
                characters += c != ' ' && (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        MachineEvent event = MachineEvent::of(MachineEvent::Kind::line);
        event.red = red;
        event.characters = characters;
        event.at = scheduler_.now();
        event.busy = tempo_ == Tempo::original ? printLineSeconds : 0.0;
        tell(event);
    }
    paper_.tape.push(
        TapeLine{newLineId(), std::move(text), std::move(symbol), red, left, timed_.printingStep});
    // A running program's lines are told at the end of their slice, which a
    // printed line ends: at once in the original tempo, by the chunk in the fast one.
    if (!timed_.running) bump();
}

void Engine::clearTape() {
    // The history keeps the torn roll to take the tear back.
    if (tornRoll_) tornRoll_(paper_.tape);
    paper_.tape.clear();
    // Every tear leaves a new edge.
    do paper_.tearSeed = random_.next32();
    while (paper_.tearSeed == 0);
    tell(MachineEvent::of(MachineEvent::Kind::tear));
    bump();
}

} // namespace vx
