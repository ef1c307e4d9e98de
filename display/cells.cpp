// SPDX-License-Identifier: GPL-3.0-or-later
// What the display shows now: a pure function of the machine state.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

std::vector<Cell> Engine::cells() const {
    using namespace Formatter;
    if (!power_) return blank();
    if (overrideCells) return *overrideCells;
    if (running && !paused) return blinkOn ? dashes() : blank();
    if (mode_ == Mode::load || listing) {
        std::string prev;
        if (prefix.kind == Prefix::Kind::reg && (prefix.ind || prefix.digit)) {
            prev = Codes::decimal((prefix.ind ? 100 : 0) + 10 * prefix.digit.value_or(0));
        } else if (auto code = prefix.provisionalCode()) {
            prev = Codes::octal(*code);
        } else {
            prev = codeText(pc - 2);
        }
        return loadCells(prev, pc, codeText(pc - 1), codeText(pc));
    }
    if (error) return errorCells();
    std::vector<Cell> shown = entry       ? entryCells(*entry, dp, sciMode)
                              : identMode ? identCells(E)
                                          : numberCells(E, dp, sciMode);
    if (!parens.empty()) shown[0].ch = static_cast<char>('0' + parens.size());
    return shown;
}

} // namespace vx
