// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vx {

// One of the display's 16 positions: a character and the two marks after it.
struct Cell {
    char ch = ' ';
    bool dot = false;
    bool comma = false;
    bool operator==(const Cell&) const = default;
};

} // namespace vx
