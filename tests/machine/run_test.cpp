// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(Run, APrintingProgramKeepsThePrintersPace) {
    Machine m;
    m.keyInProgram("f fwd 1 printKey jump 1").keys("startStop");
    EXPECT_EQ(m.after(0)->tape().size(), 1u);
    EXPECT_EQ(m.after(0.49)->tape().size(), 1u);
    EXPECT_EQ(m.after(0.02)->tape().size(), 2u);
    EXPECT_EQ(m.after(10)->tape().size(), 22u);
    EXPECT_TRUE(m->running());
}

TEST(Run, AComputingLoopRunsTwelveStepsPerSlice) {
    Machine m;
    m.keyInProgram("f fwd 1 1 store + 1 jump 1"); // four steps per round
    EXPECT_EQ(m.keys("startStop").after(0)->registers()[1].v, 3);
    EXPECT_EQ(m.after(0.004)->registers()[1].v, 6);
    EXPECT_EQ(m.after(0.996)->registers()[1].v, 3 * 251);
    EXPECT_TRUE(m->tape().empty()); // number prints are held back during a run
}

TEST(Run, PauseHoldsTheNumberForThreeSeconds) {
    Machine m;
    m.keyInProgram("f fwd 1 f exp printKey jump 1").keys("7 startStop");
    EXPECT_TRUE(m.after(0)->paused());
    EXPECT_EQ(m.display(), "7.0000");
    EXPECT_TRUE(m.after(2.99)->paused());
    EXPECT_TRUE(m->tape().empty());
    EXPECT_FALSE(m.after(0.02)->paused());
    EXPECT_TRUE(m->running());
    EXPECT_EQ(m->tape().size(), 1u);
    EXPECT_EQ(m.display(), "- - - - - - - -");
    EXPECT_TRUE(m.after(0.5)->paused());
    EXPECT_FALSE(m.keys("startStop")->running());
    EXPECT_FALSE(m->paused());
    EXPECT_FALSE(m.after(5)->running());
}

TEST(Run, ARunSurvivesStepModeButNotLoadPowerOrAModelChange) {
    Machine m;
    m.keyInProgram("f fwd 1 jump 1").keys("startStop mode:step");
    EXPECT_TRUE(m.after(1)->running());
    EXPECT_FALSE(m.keys("mode:load")->running());
    m.keys("mode:run startStop");
    m.advance(1);
    m->select(Model::orbis412);
    EXPECT_FALSE(m->running());
    m.keyInProgram("f fwd 1 jump 1").keys("startStop");
    m.advance(1);
    m->setPower(false);
    EXPECT_FALSE(m->running());
    EXPECT_FALSE(m.after(1)->running());
}

TEST(Run, ACountingLoopWithAConditionalJump) {
    Machine m;
    m.keyInProgram("3 store 1 f fwd 1 recall 1 printKey - 1 = store 1 jump + 1 startStop").keys("startStop");
    m.settle();
    EXPECT_EQ(m.tape(), (Lines{"      3.0000", "      2.0000", "      1.0000"}));
    EXPECT_EQ(m->E().v, 0);
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->pc(), 16);
    EXPECT_EQ(m.display(), "0.0000");
}

TEST(Run, ASubroutineCalledByBranchAndLeftByReturn) {
    Machine m;
    m.keyInProgram("5 f jump 2 printKey startStop f fwd 2 f sqrt f back").keys("startStop");
    m.settle();
    EXPECT_EQ(m.tape(), (Lines{"     25.0000"}));
    EXPECT_TRUE(m->returnDepthUsed() == 0);
}

TEST(Run, AProgramStopsForInputAndGoesOn) {
    Machine m;
    m.keyInProgram("f fwd 1 startStop f sqrt printKey jump 1").keys("startStop");
    m.settle();
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->pc(), 3);
    m.keys("7 startStop");
    m.settle();
    EXPECT_EQ(m.tape(), (Lines{"     49.0000"}));
    EXPECT_EQ(m.display(), "49.0000");
    EXPECT_EQ(m.keys("3 startStop wait").tape(), (Lines{"     49.0000", "      9.0000"}));
}

TEST(Run, JumpWithAllThreeConditionsAsksWhetherANumberWasKeyed) {
    Machine m;
    m.keyInProgram("f fwd 1 startStop jump + - = 2 0 printKey jump 1 f fwd 2 1 printKey jump 1");
    EXPECT_EQ(m.keys("startStop wait startStop wait").tape(), (Lines{"      0.0000"}));
    EXPECT_FALSE(m->entryFlag());
    EXPECT_EQ(m.keys("4 startStop wait").tape(), (Lines{"      0.0000", "      1.0000"}));
    EXPECT_EQ(m.keys("startStop wait").tape(), (Lines{"      0.0000", "      1.0000", "      0.0000"}));
}

TEST(Run, TheSeventhNestedBranchIsAnError) {
    Machine m;
    m.keyInProgram("f fwd 1 f jump 1").keys("startStop");
    m.settle();
    EXPECT_TRUE(m->error());
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->returnDepthUsed(), 6u);
    EXPECT_EQ(m.tape(), (Lines{"       ERROR"}));
}

TEST(Run, AFailingStepStopsTheRunAfterIt) {
    Machine m;
    m.keyInProgram("1 / 0 = printKey").keys("startStop");
    m.settle();
    EXPECT_TRUE(m->error());
    EXPECT_FALSE(m->running());
    EXPECT_EQ(m->pc(), 5);
    EXPECT_EQ(m.display(), "E-----");
}

TEST(Run, LabelSearchDiffersBetweenTheModels) {
    std::vector<Step> steps(30);
    steps[4] = 130;
    steps[19] = 130;
    steps[24] = 192; // a register instruction whose operand step looks like a label
    steps[25] = 130;
    for (auto [model, expected] : {std::pair{Model::orbis410, 20}, {Model::orbis412, 5}}) {
        Machine m(model);
        m->loadProgram(steps);
        m.keys("jump 2"); // keyed by hand a jump only looks for its label
        EXPECT_EQ(m->pc(), expected);
        EXPECT_EQ(m.keys("jump 7")->pc(), 1);
        m->setCounter(9);
        EXPECT_EQ(m.keys("jump startStop")->pc(), 1);
    }
}

TEST(Run, EdgesOfExecution) {
    Machine m;
    m->loadProgram({236, 1, 28, 27, 129, 29, 27});
    m.keys("0 chs startStop wait"); // JUMP = jumps on -0
    EXPECT_EQ(m.tape(), (Lines{"            "}));

    Machine wrap;
    std::vector<Step> steps(416);
    steps[415] = 192;
    steps[0] = 4;
    wrap->loadProgram(steps);
    wrap->setCounter(416);
    wrap.keys("8 printer:off mode:step startStop");
    wrap.settle();
    EXPECT_EQ(wrap->registers()[4].v, 8);
    EXPECT_EQ(wrap->pc(), 2);

    Machine empty;
    empty->setCounter(7);
    EXPECT_TRUE(empty.keys("startStop")->running());
    EXPECT_FALSE(empty.after(0)->running());
    EXPECT_EQ(empty->pc(), 7);

    Machine ret;
    ret->loadProgram({28, 24});
    ret->setCounter(2);
    ret.keys("5 startStop");
    ret.advance(0);
    EXPECT_EQ(ret.tape(), (Lines{"      5.0000"})); // RETURN with no open call goes on at step 1
    EXPECT_TRUE(ret->running());
}

TEST(Run, EveryEntryKeyCountsAsAKeyedNumberForJumpPlusMinusEquals) {
    // STOP; JUMP +-= 1; PRINT; STOP; LABEL 1; STOP. At the first STOP one key
    // is pressed: keyed, the jump goes to label 1 and nothing prints; not, PRINT prints.
    const std::vector<Step> program = {27, 239, 1, 28, 27, 129, 27};
    for (const char* key : {"5", "dot", "chs", "exp", "dms"}) {
        Machine m;
        m->loadProgram(program);
        EXPECT_TRUE(m.keys(std::string("startStop wait ") + key + " startStop wait")->tape().empty())
            << key << " was not taken as a keyed number";
    }
    Machine none;
    none->loadProgram(program);
    none.keys("startStop wait startStop wait");
    EXPECT_EQ(none->tape().size(), 1u); // nothing keyed: on to PRINT
}
