// SPDX-License-Identifier: GPL-3.0-or-later
// The whole machine as one plain value: everything a later key depends on,
// grouped as the machine keeps it. A kept machine (continuous memory, the
// batch mode's --state) is written from this value and read back into it;
// the machine itself knows no file. What runs in time (a program, a single
// step, a listing, a temporary display) is not part of it: the machine is
// kept at rest.
#pragma once

#include "engine/Entry.h"
#include "engine/Types.h"
#include "printer/Tape.h"
#include "program/Codes.h"
#include "program/ProgramMemory.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vx {

struct ParenLevel {
    std::optional<std::pair<Num, Op>> numOp;
    bool pendingExec = false;
    bool operator==(const ParenLevel&) const = default;
};

struct Polar {
    Num a;
    Num b;
    bool showB = true;
    bool operator==(const Polar&) const = default;
};

struct SigmaPending {
    double x = 0;
    double sign = 1;
    bool entered = false;
    bool operator==(const SigmaPending&) const = default;
};

struct MachineState {
    struct Switches {
        Model model = Model::orbis410;
        bool power = true;
        bool printerOn = true;
        Mode mode = Mode::run;
        bool gradMode = false;
        bool tapeWritesProgram = true;
        bool operator==(const Switches&) const = default;
    } switches;

    struct Paper {
        Tape tape;
        std::uint32_t tearSeed = 1;
        bool operator==(const Paper&) const = default;
    } paper;

    // The calculation in progress and the display's settings.
    struct Calculation {
        Num E;
        std::optional<Entry> entry;
        ParenLevel current; // the pending operation outside every open parenthesis
        std::vector<ParenLevel> parens;
        int dp = 4;
        bool sciMode = false;
        bool error = false;
        Num errorSaved;
        bool identMode = false;
        // CHS begins a new negative number (after an operation, a parenthesis,
        // CLEAR, RESET or a coordinate conversion) instead of negating the
        // shown result in place.
        bool chsStartsNumber = true;
        std::optional<Polar> polar;
        std::optional<SigmaPending> sigmaPending;
        bool entryFlag = false;
        Prefix prefix;
        bool loadPrefixPrinted = false;

        // Power and a model change start the calculation afresh.
        // Two things stay: the value saved behind an error is read only while
        // an error shows, and the entry flag belongs to a single step in
        // progress, which those switches do not end.
        Calculation cleared() const {
            Calculation fresh;
            fresh.errorSaved = errorSaved;
            fresh.entryFlag = entryFlag;
            return fresh;
        }
        // A mode change forgets a half-keyed prefix.
        void dropPrefix() {
            prefix = Prefix::none();
            loadPrefixPrinted = false;
        }
        bool operator==(const Calculation&) const = default;
    } calculation;

    struct Memory {
        std::vector<Num> registers;
        ProgramMemory program; // with each step its breakpoint and count
        int pc = 1;
        std::vector<int> returnStack;

        static std::vector<Num> emptyRegisters(Model model) {
            return std::vector<Num>(static_cast<std::size_t>(registerCount(model)), Num::zero);
        }
        // Empty registers for the model, an empty program, the counter at 1.
        static Memory cleared(Model model) {
            Memory fresh;
            fresh.registers = emptyRegisters(model);
            return fresh;
        }
        bool operator==(const Memory&) const = default;
    } memory;

    // What the machine counts for the person tuning a program.
    struct Record {
        std::uint64_t runSteps = 0;
        std::int64_t runOriginalNanos = 0;
        bool operator==(const Record&) const = default;
    } record;

    bool operator==(const MachineState&) const = default;
};

} // namespace vx
