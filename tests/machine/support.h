// SPDX-License-Identifier: GPL-3.0-or-later
// A machine on the simulated clock, and shorthand for driving and reading it.
#pragma once

#include "engine/Engine.h"
#include "engine/SimulatedClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx::test {

// Display cells as text: each cell's character, then "." and "," for its marks.
std::string showCells(const std::vector<Cell>& cells);
// The display with the blank cells on the left removed.
std::string trimmedDisplay(const std::vector<Cell>& cells);

class Machine {
  public:
    explicit Machine(Model model = Model::orbis410);
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{12345};
    std::unique_ptr<Engine> engine;

    Engine& operator*() { return *engine; }
    Engine* operator->() { return engine.get(); }

    // Plays a batch script: runs of digits and ".", the signs + - * / ^ ( ) =,
    // key names and switch settings such as mode:load, separated by blanks.
    // Both return the machine, to read it at once: m.keys("1 + 2 =")->E().
    Machine& keys(const std::string& script);
    // Keys a program in LOAD mode with the printer off, then returns to RUN
    // with the counter on the first step.
    Machine& keyInProgram(const std::string& keys);
    std::string display() const { return trimmedDisplay(engine->cells()); }
    std::vector<std::string> tape() const;
    std::vector<std::string> tapeSince(std::size_t from) const;
    // Lines printed in red, as their printed text.
    std::vector<std::string> redLines() const;
    void advance(double seconds) { clock.advance(seconds); }
    Machine& after(double seconds) {
        advance(seconds);
        return *this;
    }
    // Lets simulated time pass until nothing timed is in progress.
    void settle(double limitSeconds = 3600);
};

// E after the keys on a fresh machine; the keys must not end in the error state.
double resultOf(const std::string& keys, Model model = Model::orbis410);
// Whether the keys end in the error state.
bool failsWith(const std::string& keys, Model model = Model::orbis410);

} // namespace vx::test
