// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the program on the tape, one black line every half second.
#include "engine/Engine.h"

namespace vx {

void Engine::startListing() {
    if (listing_) return;
    listing_ = true;
    // A listing stopped by a key may still have its last wait pending; a new
    // listing replaces it so two never print side by side.
    if (listingTask_) scheduler_.cancel(*listingTask_);
    listingTask_.reset();
    listedLines_ = 0;
    // Even the first line is the task's: FWD returns at once, and a key
    // pressed in the same instant stops the listing before anything prints.
    listingTask_ = scheduler_.after(0, [this] { listingStep(); });
}

void Engine::listingStep() {
    listingTask_.reset();
    bool more = listing_ && power_ && printerOn_ && mode_ == Mode::step;
    if (more) {
        more = false;
        for (int i = pc_ - 1; i < Codes::steps; ++i)
            if (program_[static_cast<std::size_t>(i)]) {
                more = true;
                break;
            }
    }
    if (!more || listedLines_ >= Codes::steps) {
        listing_ = false;
        listedLines_ = 0;
        bump();
        return;
    }
    printingStep_ = pc_;
    printListing(pc_, false);
    printingStep_ = 0;
    ++listedLines_;
    pc_ = Codes::next(pc_);
    bump();
    listingTask_ = scheduler_.after(printLineSeconds, [this] { listingStep(); });
}

} // namespace vx
