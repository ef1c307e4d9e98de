// SPDX-License-Identifier: GPL-3.0-or-later
// What the display shows now: a pure function of the machine state.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

std::vector<Cell> Engine::cells() const {
    using namespace Formatter;
    if (!power_) return blank();
    if (overrideCells_) return *overrideCells_;
    if (running_ && !paused_) return blinkOn_ ? dashes() : blank();
    if (mode_ == Mode::load || listing_) {
        std::string prev;
        if (prefix_.kind == Prefix::Kind::reg && (prefix_.ind || prefix_.digit)) {
            prev = Codes::decimal(prefix_.provisionalOperand());
        } else if (auto code = prefix_.provisionalCode()) {
            prev = Codes::octal(*code);
        } else {
            prev = codeText(pc_ - 2);
        }
        return loadCells(prev, pc_, codeText(pc_ - 1), codeText(pc_));
    }
    if (error_) return errorCells();
    std::vector<Cell> shown = entry_       ? entryCells(*entry_, dp_, sciMode_)
                              : identMode_ ? identCells(E_)
                                           : numberCells(E_, dp_, sciMode_);
    if (!parens_.empty()) shown[0].ch = static_cast<char>('0' + parens_.size());
    return shown;
}

} // namespace vx
