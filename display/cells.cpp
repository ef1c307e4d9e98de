// SPDX-License-Identifier: GPL-3.0-or-later
// What the display shows now: a pure function of the machine state.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

namespace {
Shown only(Shown::Kind kind, std::vector<Cell> cells) {
    Shown s;
    s.kind = kind;
    s.cells = std::move(cells);
    return s;
}
} // namespace

std::vector<Cell> Engine::cells() const {
    return shown().cells;
}

Shown Engine::shown() const {
    ++shownReadings_;
    using namespace Formatter;
    using K = Shown::Kind;
    if (!sw_.power) return only(K::off, blank());
    if (timed_.overrideCells) return only(K::temporary, *timed_.overrideCells);
    if (timed_.running && !timed_.paused) return only(K::running, timed_.blinkOn ? dashes() : blank());
    if (sw_.mode == Mode::load || timed_.listing) {
        std::string prev;
        if (calc_.prefix.previewsOperand()) {
            prev = Codes::decimal(calc_.prefix.provisionalOperand());
        } else if (auto code = calc_.prefix.provisionalCode()) {
            prev = Codes::octal(*code);
        } else {
            prev = codeText(mem_.pc - 2);
        }
        const std::string at = codeText(mem_.pc - 1);
        return {K::step, loadCells(prev, mem_.pc, at, codeText(mem_.pc)), mem_.pc, at};
    }
    if (calc_.error) return only(K::error, errorCells());
    std::vector<Cell> shown = calc_.entry       ? entryCells(*calc_.entry, calc_.dp, calc_.sciMode)
                              : calc_.identMode ? identCells(calc_.E)
                                                : numberCells(calc_.E, calc_.dp, calc_.sciMode);
    const int parens = static_cast<int>(calc_.parens.size());
    if (parens > 0) shown[0].ch = static_cast<char>('0' + parens);
    return {K::number, std::move(shown), 0, {}, parens};
}

} // namespace vx
