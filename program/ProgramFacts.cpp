// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/ProgramFacts.h"

namespace vx::ProgramFacts {

std::optional<int> labelStep(const std::vector<Step>& program, Model model, int label) {
    std::optional<int> match;
    const int size = static_cast<int>(program.size());
    // Operand steps are skipped: a register or label number is no LABEL.
    for (int i = 0; i < size;) {
        const Step step = program[static_cast<std::size_t>(i)];
        if (!step) {
            ++i;
            continue;
        }
        if (Codes::isLabel(*step) && Codes::labelOf(*step) == label) {
            // The 412 takes the first label of that number, the 410 the last.
            if (!match || !lowestLabelWins(model)) match = i + 1;
            if (lowestLabelWins(model)) break;
        }
        i += Codes::needsOperand(*step) ? 2 : 1;
    }
    return match;
}

std::vector<StepFacts> describe(const std::vector<Step>& program, Model model) {
    std::vector<StepFacts> facts(program.size());
    for (std::size_t i = 0; i < program.size();) {
        const Step step = program[i];
        if (!step) {
            ++i;
            continue;
        }
        StepFacts& f = facts[i];
        f.kind = StepFacts::Kind::code;
        f.value = *step;
        if (Codes::isLabel(*step)) f.label = Codes::labelOf(*step);
        if (!Codes::needsOperand(*step)) {
            ++i;
            continue;
        }
        const std::size_t at = i + 1;
        const int operand = at < program.size() ? program[at].value_or(0) : 0;
        if (Codes::isJump(*step) || Codes::isBranch(*step)) {
            if (operand == Codes::jumpToStart) {
                f.toStart = true;
                f.target = 1;
            } else {
                f.jumpLabel = operand;
                f.target = labelStep(program, model, operand);
            }
        } else if (Codes::isRegisterOp(*step)) {
            f.indirect = operand >= Codes::indirect;
            f.reg = operand % Codes::indirect;
        }
        if (at < program.size()) {
            StepFacts& o = facts[at];
            o.kind = StepFacts::Kind::operand;
            o.value = operand;
            o.owner = static_cast<int>(i) + 1;
        }
        i += 2;
    }
    return facts;
}

} // namespace vx::ProgramFacts
