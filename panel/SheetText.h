// SPDX-License-Identifier: GPL-3.0-or-later
// The program sheet's words: what each step is, the calculation in
// progress, the return addresses and the registers, from the machine's facts.
#pragma once

#include "engine/Types.h"
#include "program/ProgramFacts.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vx {

class Engine;

namespace SheetText {

// One row of the listing: the step number, its code as the LOAD line
// prints it, its tape symbol and what a reader needs to know of it.
struct Row {
    QString step;
    QString code;
    QString symbol;
    QString note;
    bool missing = false; // the note names a label that does not exist
};
Row row(const Engine& engine, const std::vector<ProgramFacts::StepFacts>& facts, int step);
// The row as one sentence for a screen reader: "Schritt 005: 310 RC, Register 1".
QString sentence(const Row& row, bool breakpoint, std::uint64_t count);

// A value at its 13 significant digits, as short as it goes: "2", "0.1", "1.5E-20".
QString number(double x);
// "1.234.567"
QString grouped(std::uint64_t n);
// The number register at 13 digits, with its D/M/S form where it is one;
// the number being keyed in while there is one.
QString numberRegister(const Engine& engine);
// The calculation as the user would write it: "(2 + (3 ×".
QString calculation(const Engine& engine);
// A running statistics entry or a pending coordinate pair, or nothing.
QString pending(const Engine& engine);
// "Rücksprung nach 014, 031", or nothing without open branches.
QString returns(const std::vector<int>& addresses);
// "R1" on the 410, "R07" on the 412.
QString registerName(int index, Model model);
// As the display shows it with the current decimal setting.
QString registerValue(Num value, int decimals, bool sci);

} // namespace SheetText
} // namespace vx
