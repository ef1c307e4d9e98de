// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine tells its host as it happens: typed events, so that a
// view redraws the part that changed and the sound hears what happened,
// and nobody outside has to work it out from a copy of the machine.
#pragma once

#include "display/Shown.h"
#include "engine/Keys.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace vx {

// The parts of the machine a view shows; a change names the ones it touched.
enum class Part : unsigned {
    display = 1u << 0,     // what the display shows (`Changes::shown`)
    tape = 1u << 1,        // lines printed, or the tape torn off
    switches = 1u << 2,    // power, printer, mode, angle and tape switches
    model = 1u << 3,       // the model, and with it the register bank
    run = 1u << 4,         // a run, a pause, a single step or a listing began or ended
    program = 1u << 5,     // the steps with their marks, the counter, the return addresses
    registers = 1u << 6,   // which ones: `Changes::registers`
    calculation = 1u << 7, // the number being keyed, pending operations, parentheses, settings
};

// The parts as a mask.
constexpr unsigned parts(std::initializer_list<Part> list) {
    unsigned mask = 0;
    for (const Part p : list) mask |= static_cast<unsigned>(p);
    return mask;
}
inline constexpr unsigned allParts = ~0u;

struct Changes {
    unsigned parts = 0;
    Shown shown;                // what the display shows now, with Part::display
    std::vector<int> registers; // the registers changed (index from 0), with Part::registers
    bool torn = false;          // with Part::tape: the tape was torn off meanwhile

    bool has(Part part) const { return (parts & static_cast<unsigned>(part)) != 0; }
    bool any() const { return parts != 0; }
    // Folds a later change into this one, as a view that skipped frames sees it.
    void merge(const Changes& later);
};

enum class SwitchId { power, printer, mode, tape, angle, model };

// Why a run ended.
enum class RunEnd { key, stopStep, breakpoint, error, emptyMemory, switched, loaded, kept };

struct MachineEvent {
    enum class Kind {
        changed,    // parts of the machine changed: `changes`
        key,        // a key reached the machine; `taken` is false when it did nothing
        line,       // a line was printed: `red`, `characters` (0: a feed, ADV), `at`, `busy`
        tear,       // the tape was torn off
        switched,   // a switch moves: `which` (told just before the machine follows it)
        loading,    // a program is about to replace the program memory (told before it does)
        runStarted, // a program began to run
        runEnded,   // it ended: `why`
        error,      // the error state began
    };
    Kind kind = Kind::changed;
    Changes changes;
    Key key{};
    bool taken = false;
    bool red = false;
    int characters = 0;
    double at = 0;   // the scheduler's time, in seconds
    double busy = 0; // how long the printer is busy with the line, in seconds
    SwitchId which = SwitchId::power;
    RunEnd why = RunEnd::key;

    static MachineEvent of(Kind kind) {
        MachineEvent event;
        event.kind = kind;
        return event;
    }
};

inline void Changes::merge(const Changes& later) {
    parts |= later.parts;
    torn = torn || later.torn;
    if (later.has(Part::display)) shown = later.shown;
    for (const int r : later.registers)
        if (std::find(registers.begin(), registers.end(), r) == registers.end()) registers.push_back(r);
}

} // namespace vx
