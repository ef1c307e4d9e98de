// SPDX-License-Identifier: GPL-3.0-or-later
// The program memory: 416 places, each holding a step's code and what the
// person tuning the program has put beside it, a breakpoint and how often
// the step ran. What sits beside a step moves with it when INS or DELETE
// shifts the steps, so this part owns all three and shifts them together.
#pragma once

#include "program/Codes.h"

#include <cstdint>
#include <vector>

namespace vx {

class ProgramMemory {
  public:
    struct Marks {
        bool breakpoint = false;
        std::uint64_t count = 0;
        bool operator==(const Marks&) const = default;
    };

    ProgramMemory() : codes_(Codes::steps), marks_(Codes::steps) {}

    // Steps count from 1; a step outside 1 ... 416 reads as empty.
    Step at(int step) const { return inside(step) ? codes_[index(step)] : Step{}; }
    // Keying a code over a step keeps its breakpoint and count.
    void store(int step, Step code) {
        if (inside(step)) codes_[index(step)] = code;
    }
    // All 416 places, empty ones included, for whoever reads the program whole.
    const std::vector<Step>& codes() const { return codes_; }
    // The program up to its last step, as the library keeps it.
    std::vector<Step> steps() const;
    // Whether a step is stored at `step` or after it.
    bool anyFrom(int step) const;

    bool breakpoint(int step) const { return inside(step) && marks_[index(step)].breakpoint; }
    void setBreakpoint(int step, bool on) {
        if (inside(step)) marks_[index(step)].breakpoint = on;
    }
    void clearBreakpoints();
    std::uint64_t count(int step) const { return inside(step) ? marks_[index(step)].count : 0; }
    void setCount(int step, std::uint64_t count) {
        if (inside(step)) marks_[index(step)].count = count;
    }
    void counted(int step) { ++marks_[index(step)].count; }
    void resetCounts();
    // How often each step (index = step - 1) ran.
    std::vector<std::uint64_t> counts() const;

    // INS: an empty place at `step`, the last step falls off.
    void insert(int step);
    // DELETE: the place at `step` goes, an empty one comes in at the end.
    void remove(int step);
    // Everything empty, as after switching off.
    void clear();
    // A program put in whole: nothing beside its steps.
    void load(const std::vector<Step>& steps);
    // A program edited as text: each step the edit left alone keeps its
    // breakpoint and count, wherever the edit moved it.
    void revise(const std::vector<Step>& steps);

    bool operator==(const ProgramMemory&) const = default;

  private:
    static bool inside(int step) { return step >= 1 && step <= Codes::steps; }
    static std::size_t index(int step) { return static_cast<std::size_t>(step - 1); }

    std::vector<Step> codes_;
    std::vector<Marks> marks_;
};

} // namespace vx
