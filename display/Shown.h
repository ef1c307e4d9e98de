// SPDX-License-Identifier: GPL-3.0-or-later
// What the display shows, as one value: its 16 cells and what they are.
// The panel paints the cells and a screen reader says the rest, both from
// this one value, so that they can never tell different stories.
#pragma once

#include "display/Cell.h"

#include <string>
#include <vector>

namespace vx {

struct Shown {
    enum class Kind {
        off,       // power off: nothing lit
        temporary, // a moment's display (a single step's code, a PAUSE) over the rest
        running,   // a program runs: the display flashes
        step,      // LOAD mode or a listing: the step at the counter
        error,     // the error display
        number,    // a number, or one being keyed
    };
    Kind kind = Kind::off;
    std::vector<Cell> cells;
    int step = 0;       // step: the program counter
    std::string code;   // step: the code at the counter, blank when empty
    int openParens = 0; // number: open parentheses, counted in the first cell
    bool operator==(const Shown&) const = default;
};

} // namespace vx
