// SPDX-License-Identifier: GPL-3.0-or-later
// Number and step formatting for the display and the printer. Everything is
// derived from the 13 significant digits of a value; nothing shows more.
#pragma once

#include "display/Cell.h"
#include "engine/Entry.h"
#include "engine/Types.h"

#include <string>
#include <utility>
#include <vector>

namespace vx::Formatter {

inline constexpr int width = 16;
using Cells = std::vector<Cell>;

const Cells& blank();
// The cells as text: each character, then "." and "," for its marks.
std::string text(const Cells& cells);
const Cells& dashes();
const Cells& errorCells();

// Whether a value needs the scientific display, and its 13 significant
// digits with the decimal exponent of the first.
bool needsSci(double x, bool sci);
std::pair<std::string, int> digits13(double x);
// A D/M/S value as the display writes it (the sheet shows it beside the number).
std::string dmsString(double x, int dp, int maxDecimals);

Cells sciCells(double x);
Cells numberCells(Num num, int dp, bool sci);
Cells entryCells(const Entry& entry, int dp, bool sci);
Cells identCells(Num num);
Cells loadCells(const std::string& prev, int step, const std::string& cur, const std::string& next);

// The printer's number field: narrower than the display.
std::string printString(Num num, int dp, bool sci);

} // namespace vx::Formatter
