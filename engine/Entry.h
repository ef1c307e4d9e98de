// SPDX-License-Identifier: GPL-3.0-or-later
// The number being keyed in, kept as typed text so the display shows exactly
// what was typed and the exponent and D/M/S parts stay editable.
#pragma once

#include <string>
#include <vector>

namespace vx {

struct Entry {
    std::string mant; // digits and at most one "."
    bool neg = false;
    bool expMode = false;
    std::string exp; // at most two digits
    bool expNeg = false;
    std::vector<std::string> dmsParts; // closed degree and minute parts

    bool isDMS() const { return !dmsParts.empty(); }
    int significantDigits() const;
    double value() const;
    // Applies one entry code 0 ... 13 (digits, ".", "CHS", "EXP", "D/M/S").
    void edit(int code);
    bool operator==(const Entry&) const = default;
};

} // namespace vx
