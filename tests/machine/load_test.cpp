// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using vx::test::showCells;
using Lines = std::vector<std::string>;

TEST(LoadMode, TheSmallModelPrintsEachFinishedStepInRed) {
    Machine m;
    m.keys("mode:load store 3 sin f fwd 2 jump + startStop");
    EXPECT_EQ(m.tape(), (Lines{"·001  300  ST", "·002  003  3", "·003  070  S", "·004  202  L2",
                               "·005  351  J+", "·006  033  SS"}));
    EXPECT_EQ(m.redLines().size(), 6u);
    EXPECT_EQ(m->programSteps(), (std::vector<Step>{192, 3, 56, 130, 233, 27}));
    EXPECT_EQ(m->pc(), 7);
}

TEST(LoadMode, TheLargeModelEchoesEveryKey) {
    Machine m(Model::orbis412);
    EXPECT_EQ(m.keys("mode:load store f 1 2").tape(),
              (Lines{"·001  300  ST", "·002  100", "·002  110", "·002  112"}));
    EXPECT_EQ(m->programSteps(), (std::vector<Step>{192, 112}));
    EXPECT_EQ(m->pc(), 3);
    EXPECT_EQ(m.keys("f 5").tapeSince(4), (Lines{"·003  100  F", "·003  105  FR"}));
    m.keys("recall - 4 3 setDP 3 jump + = 7 toMetric 2");
    EXPECT_EQ(m.tapeSince(6), (Lines{"·004  310  RC", "·004  312  RC-", "·005  040", "·005  043",
                                     "·006  220  DP", "·006  223  DP3", "·007  350  J", "·007  351  J+",
                                     "·007  355  J+=", "·008  007  7", "·009  240  M", "·009  242  M2"}));
}

TEST(LoadMode, NothingIsPrintedWithThePrinterOff) {
    for (Model model : allModels) {
        Machine m(model);
        EXPECT_TRUE(m.keys("printer:off mode:load store 1 2 f 5 sin")->tape().empty());
        // the 410 takes one register key, so "2" is a step of its own there
        EXPECT_EQ(m->programSteps().size(), model == Model::orbis412 ? 4u : 5u);
    }
}

TEST(LoadMode, MovingInsertingAndRemovingWrapAround) {
    Machine m;
    EXPECT_EQ(m.keys("mode:load back")->pc(), 416);
    EXPECT_EQ(m.keys("fwd")->pc(), 1);
    EXPECT_TRUE(m->tape().empty());

    std::vector<Step> full(416);
    for (int i = 0; i < 416; ++i) full[static_cast<std::size_t>(i)] = i % 10;
    m->loadProgram(full);
    EXPECT_FALSE(m.keys("mode:load insert")->program()[0]);
    EXPECT_EQ(m->program()[1], 0);
    EXPECT_EQ(m->program()[415], 4); // the old step 415; old step 416 is gone
    EXPECT_EQ(m->pc(), 1);
    EXPECT_EQ(m->program().size(), 416u);

    m->loadProgram(full);
    EXPECT_EQ(m.keys("mode:load back f insert")->pc(), 416);
    EXPECT_FALSE(m->program()[415]);
    EXPECT_EQ(m->program()[414], 4);

    EXPECT_FALSE(m.keys("f insert")->program()[415]);
    m->setCounter(1);
    EXPECT_EQ(m.keys("f insert")->program()[0], 1);
}

TEST(LoadMode, StoringAtTheLastStepWrapsTheOperand) {
    Machine m;
    EXPECT_EQ(m.keys("mode:load back store 4")->program()[415], 192);
    EXPECT_EQ(m->program()[0], 4);
    EXPECT_EQ(m->pc(), 2);
}

TEST(LoadMode, TheDisplayShowsTheStepsAroundTheCounter) {
    Machine m;
    m.keys("mode:load");
    EXPECT_EQ(showCells(m->cells()), "    .001         ");
    m.keys("sin");
    EXPECT_EQ(showCells(m->cells()), "070 .002         ");
    m.keys("cos back");
    EXPECT_EQ(showCells(m->cells()), "070 .002  071    ");
    m.keys("store");
    EXPECT_EQ(showCells(m->cells()), "300 .002  071    ");
    m.keys("plus");
    EXPECT_EQ(showCells(m->cells()), "301 .002  071    ");

    Machine big(Model::orbis412);
    big.keys("mode:load recall f");
    EXPECT_EQ(showCells(big->cells()), "100 .001         ");
    big.keys("4");
    EXPECT_EQ(showCells(big->cells()), "140 .001         ");
    big.keys("3");
    EXPECT_EQ(showCells(big->cells()), "143 .003         ");
    big->loadProgram({192, 56, 57});
    big.keys("mode:load fwd fwd");
    // A step after a register code shows in decimal, however it was keyed.
    EXPECT_EQ(showCells(big->cells()), "056 .003  071    ");
}
