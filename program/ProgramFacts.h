// SPDX-License-Identifier: GPL-3.0-or-later
// What a reader of a program needs to know of each step, as facts: which
// steps are operands and whose, which label a LABEL sets, where a JUMP or
// BRANCH goes under the model's label rule, which register a register step
// names. The program sheet turns these into words.
#pragma once

#include "engine/Types.h"
#include "program/Codes.h"

#include <optional>
#include <vector>

namespace vx::ProgramFacts {

struct StepFacts {
    enum class Kind { empty, code, operand };
    Kind kind = Kind::empty;
    int value = 0;                // the code, or the operand's value
    std::optional<int> label;     // a LABEL step: its label
    std::optional<int> jumpLabel; // a JUMP or BRANCH: the label it names (none: step 1)
    bool toStart = false;         // a JUMP or BRANCH to step 1 (the START/STOP key)
    std::optional<int> target;    // where it goes; none when the label is missing
    std::optional<int> reg;       // a register step: its register
    bool indirect = false;        // a 412 register step through another register
    int owner = 0;                // an operand: the step whose operand it is
    bool operator==(const StepFacts&) const = default;
};

// The step a jump to `label` lands on: the last LABEL of that number on
// the 410, the first on the 412; none when there is no such label.
std::optional<int> labelStep(const std::vector<Step>& program, Model model, int label);

// One entry per step of `program` (416 of them in memory).
std::vector<StepFacts> describe(const std::vector<Step>& program, Model model);

} // namespace vx::ProgramFacts
