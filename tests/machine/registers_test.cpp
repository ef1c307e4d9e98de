// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;

TEST(Registers, ArithmeticAndTheTapeSymbolOnTheSmallModel) {
    Machine m;
    m.keys("5 store 3 2 store times 3 recall 3 4 store . 2 recall times . 7 exchange chs");
    EXPECT_EQ(m.tape(), (Lines{"      5.0000 ST 3", "      2.0000 ST×3", "     10.0000 RC 3",
                               "      4.0000 ST .", "      8.0000 RC×.", "      0.0000 XC S"}));
    EXPECT_EQ(m->registers()[3].v, 10);
    EXPECT_EQ(m->registers()[11].v, 7);
}

TEST(Registers, TwoDigitRegistersOnTheLargeModel) {
    Machine m(Model::orbis412);
    m.keys("3 store 0 1 2 store + 0 1 recall 0 1 9 store 4 3 recall 4 3");
    EXPECT_EQ(m.tape(), (Lines{"      3.0000 ST 01", "      2.0000 ST+01", "      5.0000 RC 01",
                               "      9.0000 ST 43", "      9.0000 RC 43"}));
    EXPECT_TRUE(m.keys("store 4 4")->error());
}

TEST(Registers, IndirectAddressing) {
    Machine m(Model::orbis412);
    EXPECT_EQ(m.keys("12.7 store 0 5 42 store 1 2 recall f 0 5")->E().v, 42);
    EXPECT_EQ(m->tape().back().printed(), "     42.0000IRC 05");
    EXPECT_EQ(m.keys("3.9 store 0 5 8 store f 0 5")->registers()[3].v, 8);
    EXPECT_EQ(m->tape().back().printed(), "      8.0000IST 05");
    // Register 00 points like any other.
    EXPECT_EQ(m.keys("9.2 store 0 0 55 store 0 9 0 recall f 0 0")->E().v, 55);
    EXPECT_EQ(m->tape().back().printed(), "     55.0000IRC 00");
    for (const char* pointer : {"1 chs", "44"}) {
        Machine bad(Model::orbis412);
        EXPECT_TRUE(bad.keys(std::string(pointer) + " store 0 7 6 recall f 0 7")->error()) << pointer;
        EXPECT_EQ(bad->E().v, 6);
    }
    for (int operand : {105, 12}) { // no indirect addressing on the 410, and no register 12
        Machine small;
        small->loadProgram({200, operand, 28});
        small.keys("5 startStop");
        small.settle();
        EXPECT_TRUE(small->error()) << operand;
        EXPECT_EQ(small.tape(), (Lines{"       ERROR"}));
    }
}

TEST(Registers, FailuresLeaveRegisterAndDisplay) {
    Machine m;
    EXPECT_TRUE(m.keys("6 store 4 0 store / 4")->error());
    EXPECT_EQ(m->registers()[4].v, 6);
    EXPECT_EQ(m->tape().size(), 2u); // the stored 6 and the error line; the failed store printed nothing
    EXPECT_EQ(m.keys("clear")->E().v, 0);
}

TEST(Registers, ExchangeRecallPowerAndClearAll) {
    Machine m;
    EXPECT_EQ(m.keys("3 store 1 2 exchange + 1")->E().v, 5);
    EXPECT_EQ(m->registers()[1].v, 5);
    EXPECT_EQ(m.keys("10 store 2 2 recall ^ 2")->E().v, 1024);
    EXPECT_EQ(m.keys("9 store - 2")->registers()[2].v, 1);
    EXPECT_EQ(m.keys("8 exchange 2")->E().v, 1);
    EXPECT_EQ(m->registers()[2].v, 8);
    EXPECT_EQ(m.keys("30 dms store 5 0 recall 5")->E(), (Num{30, true}));
    EXPECT_EQ(m.keys("f clear")->registers().size(), 12u);
    for (const Num& r : m->registers()) EXPECT_EQ(r, Num::zero);
    EXPECT_EQ(m->tape().back().printed(), "      0.0000 CA");
}
