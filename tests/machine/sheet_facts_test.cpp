// SPDX-License-Identifier: GPL-3.0-or-later
// The facts a reader of a program needs (operands, labels, jump targets
// under each model's label rule, registers) and breakpoints.
#include "program/ProgramFacts.h"
#include "support.h"

using namespace vx;
using vx::test::Machine;
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

TEST(Breakpoints, ARunStopsBeforeTheStepAndContinuesWithIt) {
    Machine m;
    m.keys("printer:off mode:load 1 printKey 2 printKey 3 printKey startStop mode:run printer:on");
    m->setBreakpoint(3, true);
    m->setCounter(1);
    m.keys("startStop");
    m.advance(5);
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->pc(), 3) << "stopped before step 3";
    EXPECT_EQ(m.tape().size(), 1u);
    m.keys("startStop");
    m.advance(5);
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m.tape().size(), 3u) << "continuing executes step 3";
    // STEP mode ignores breakpoints.
    m->setCounter(3);
    m.keys("mode:step startStop");
    m.advance(1);
    EXPECT_EQ(m->pc(), 4);
    // INS and DELETE move them with their steps; power off clears them.
    m.keys("mode:load");
    m->setCounter(1);
    m.keys("insert");
    EXPECT_TRUE(m->breakpoint(4));
    EXPECT_FALSE(m->breakpoint(3));
    m.keys("f insert f insert");
    EXPECT_TRUE(m->breakpoint(2));
    m.keys("power:off power:on");
    EXPECT_FALSE(m->breakpoint(2));
    m->setBreakpoint(5, true);
    m->select(Model::orbis412);
    EXPECT_FALSE(m->breakpoint(5));
    m->setBreakpoint(5, true);
    m->loadProgram({56});
    EXPECT_FALSE(m->breakpoint(5));
}

TEST(Breakpoints, WithoutAnyTheRunIsTheSameToTheLine) {
    Machine plain, marked;
    for (Machine* m : {&plain, &marked}) {
        m->keys("printer:off mode:load f fwd 1 1 store + 1 recall 1 printKey jump 1 mode:run printer:on");
        m->engine->setCounter(1);
    }
    marked->setBreakpoint(7, true);
    marked->setBreakpoint(7, false);
    for (Machine* m : {&plain, &marked}) {
        m->keys("startStop");
        m->advance(20);
    }
    EXPECT_EQ(marked.tape(), plain.tape());
}
