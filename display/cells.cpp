// SPDX-License-Identifier: GPL-3.0-or-later
// What the display shows now: a pure function of the machine state.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

std::vector<Cell> Engine::cells() const {
    using namespace Formatter;
    if (!sw_.power) return blank();
    if (timed_.overrideCells) return *timed_.overrideCells;
    if (timed_.running && !timed_.paused) return timed_.blinkOn ? dashes() : blank();
    if (sw_.mode == Mode::load || timed_.listing) {
        std::string prev;
        if (calc_.prefix.previewsOperand()) {
            prev = Codes::decimal(calc_.prefix.provisionalOperand());
        } else if (auto code = calc_.prefix.provisionalCode()) {
            prev = Codes::octal(*code);
        } else {
            prev = codeText(mem_.pc - 2);
        }
        return loadCells(prev, mem_.pc, codeText(mem_.pc - 1), codeText(mem_.pc));
    }
    if (calc_.error) return errorCells();
    std::vector<Cell> shown = calc_.entry       ? entryCells(*calc_.entry, calc_.dp, calc_.sciMode)
                              : calc_.identMode ? identCells(calc_.E)
                                                : numberCells(calc_.E, calc_.dp, calc_.sciMode);
    if (!calc_.parens.empty()) shown[0].ch = static_cast<char>('0' + calc_.parens.size());
    return shown;
}

} // namespace vx
