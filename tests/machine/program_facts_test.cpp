// SPDX-License-Identifier: GPL-3.0-or-later
// The facts a reader of a program needs: operands, labels, jump targets
// under each model's label rule, registers.
#include "program/ProgramFacts.h"
#include <gtest/gtest.h>

using namespace vx;
using Kind = ProgramFacts::StepFacts::Kind;

TEST(ProgramFacts, OperandsLabelsJumpsAndRegistersOnBothModels) {
    // LABEL 2, RCL 1, LABEL 2, JUMP 2, BRANCH 7 (missing), JUMP to start.
    const std::vector<Step> program = {
        Codes::label + 2, Codes::recall,     1, Codes::label + 2, Codes::jump, 2, Codes::branch, 7,
        Codes::jump,      Codes::jumpToStart};
    for (Model model : allModels) {
        const auto facts = ProgramFacts::describe(program, model);
        ASSERT_EQ(facts.size(), program.size());
        EXPECT_EQ(facts[0].label, 2);
        EXPECT_EQ(facts[1].reg, 1);
        EXPECT_EQ(facts[2].kind, Kind::operand);
        EXPECT_EQ(facts[2].owner, 2);
        // The 410 takes the last LABEL 2, the 412 the first.
        EXPECT_EQ(facts[4].target, model == Model::orbis410 ? 4 : 1) << rawValue(model);
        EXPECT_EQ(facts[4].jumpLabel, 2);
        EXPECT_EQ(facts[6].jumpLabel, 7);
        EXPECT_EQ(facts[6].target, std::nullopt) << "a missing label";
        EXPECT_TRUE(facts[8].toStart);
        EXPECT_EQ(facts[8].target, 1);
        EXPECT_EQ(facts[9].kind, Kind::operand);
    }
    // An operand that looks like a LABEL is no label: the jump finds none.
    const std::vector<Step> tricky = {Codes::store, Codes::label + 3, Codes::jump, 3};
    EXPECT_EQ(ProgramFacts::describe(tricky, Model::orbis410)[2].target, std::nullopt);
    // The 412's indirect register operands.
    const auto indirect = ProgramFacts::describe({Codes::recall, Codes::indirect + 12}, Model::orbis412);
    EXPECT_EQ(indirect[0].reg, 12);
    EXPECT_TRUE(indirect[0].indirect);
}
