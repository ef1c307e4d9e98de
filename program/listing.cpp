// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the program on the tape, one black line every half second.
#include "engine/Engine.h"

namespace vx {

void Engine::startListing() {
    if (timed_.listing) return;
    timed_.listing = true;
    // A listing stopped by a key may still have its last wait pending; a new
    // listing replaces it so two never print side by side.
    if (timed_.listingTask) scheduler_.cancel(*timed_.listingTask);
    timed_.listingTask.reset();
    timed_.listedLines = 0;
    // Even the first line is the task's: FWD returns at once, and a key
    // pressed in the same instant stops the listing before anything prints.
    timed_.listingTask = scheduler_.after(0, [this] { listingStep(); });
}

void Engine::listingStep() {
    timed_.listingTask.reset();
    const bool more = timed_.listing && sw_.power && sw_.printerOn && sw_.mode == Mode::step &&
                      mem_.program.anyFrom(mem_.pc);
    if (!more || timed_.listedLines >= Codes::steps) {
        timed_.listing = false;
        timed_.listedLines = 0;
        bump();
        return;
    }
    timed_.printingStep = mem_.pc;
    printListing(mem_.pc, false);
    timed_.printingStep = 0;
    ++timed_.listedLines;
    mem_.pc = Codes::next(mem_.pc);
    bump();
    timed_.listingTask = scheduler_.after(printLineSeconds, [this] { listingStep(); });
}

} // namespace vx
