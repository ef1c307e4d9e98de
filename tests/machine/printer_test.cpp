// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"
#include "support.h"

using namespace vx;
using vx::test::Machine;
using Lines = std::vector<std::string>;
namespace F = vx::Formatter;

TEST(Tape, AChainWithEquals) {
    Machine m;
    EXPECT_EQ(m.keys("12 + 3 * 2 =").tape(),
              (Lines{"     12.0000 +", "      3.0000 ×", "      2.0000 =", "     30.0000"}));
    EXPECT_TRUE(m.redLines().empty());
}

TEST(Tape, NegativeNumbersInRed) {
    Machine m;
    EXPECT_EQ(m.keys("5 - 8 = setDP 2 12.5 chs printKey").tape(),
              (Lines{"      5.0000 -", "      8.0000 =", "     -3.0000", "      -12.50"}));
    EXPECT_EQ(m.redLines(), (Lines{"     -3.0000", "      -12.50"}));
}

TEST(Tape, ParenthesesResetAndIdent) {
    Machine m;
    m.keys("2 * ( 3 + 4 ) = reset 9 ident");
    EXPECT_EQ(m.tape(), (Lines{"      2.0000 ×", "      2.0000 ( 1", "      3.0000 +", "      4.0000 ) 1",
                               "      7.0000 =", "     14.0000", "      0.0000 ∧", "      9.0000 ID"}));
}

TEST(Tape, PrinterSwitchedOffOnlyPrintForcesALine) {
    Machine m;
    EXPECT_EQ(m.keys("printer:off 2 + 3 = sqrt printKey adv f .").tape(),
              (Lines{"      2.2360", "            ", "··················"}));
    EXPECT_TRUE(m->tape()[2].left);

    // During a run only PRINT reaches the paper, printer on or off.
    Machine run;
    run->loadProgram({4, 50, 28, 27});
    run.keys("startStop");
    run.settle();
    EXPECT_EQ(run.tape(), (Lines{"      2.0000"}));
}

TEST(Tape, AnErrorInTheMiddleOfAChain) {
    Machine m;
    EXPECT_EQ(m.keys("2 + 3 / 0 + 1 =").tape(),
              (Lines{"      2.0000 +", "      3.0000 ÷", "      0.0000 +", "       ERROR"}));
    EXPECT_EQ(m.redLines(), (Lines{"       ERROR"}));
    // CLEAR brings back the number E held when the error came.
    Machine overflow;
    EXPECT_EQ(overflow.keys("1 exp 99 * 10 = clear")->E().v, 10);
}

TEST(Tape, ThePrintersNarrowerNumberField) {
    auto print = [](double v, int dp, bool sci = false) { return F::printString(Num{v, false}, dp, sci); };
    EXPECT_EQ(print(-12.5, 2), "-12.50");
    EXPECT_EQ(print(123456789, 2), "123,456,789");
    EXPECT_EQ(print(1234567.891, 4), "1,234,567.89");
    EXPECT_EQ(print(1e10, 4), "1.000000  10");
    EXPECT_EQ(print(9999999999, 0), "9.999999  09");
    EXPECT_EQ(print(1.5e-7, 4), "0.0000001"); // cut, not rounded
    EXPECT_EQ(print(1.5e-7, 4, true), "1.500000 -07");
    EXPECT_EQ(print(-1.5e15, 4), "-1.50000  15");
    EXPECT_EQ(print(1e-9, 4), "1.000000 -09");
    EXPECT_EQ(print(2e-9, 4), "0.000000002");
    EXPECT_EQ(print(2, 4, true), "2.000000  00");
    EXPECT_EQ(F::printString(Num{30.26, true}, 4, false), "30 15 36.000");
    EXPECT_EQ(F::printString(Num{359.5, true}, 9, true), "359 30 00.00");
}

TEST(Tape, LineLayout) {
    auto printed = [](std::string text, std::string symbol, bool left = false) {
        return TapeLine{0, std::move(text), std::move(symbol), false, left}.printed();
    };
    EXPECT_EQ(printed("1", "="), "           1 =");
    EXPECT_EQ(printed("1", "ABCDEF"), "           1ABCDEF");
    EXPECT_EQ(printed("1", "ABCDEFG"), "           1ABCDEF");
    EXPECT_EQ(printed("1", "STaˣ"), "           1 STaˣ");
    EXPECT_EQ(printed("1234567890123", ""), "234567890123");
    EXPECT_EQ(printed("·001  300  ST and a lot more", "", true), "·001  300  ST and ");
    EXPECT_EQ(printed("", ""), "            ");
}

TEST(Tape, TearingOffEmptiesTheTapeAndChangesTheEdge) {
    Machine m;
    m.keys("1 printKey");
    const auto seed = m->tearSeed();
    m->clearTape();
    EXPECT_TRUE(m->tape().empty());
    EXPECT_NE(m->tearSeed(), seed);
    const auto again = m->tearSeed();
    m->clearTape();
    EXPECT_NE(m->tearSeed(), again);
    EXPECT_NE(m->tearSeed(), 0u);
}

TEST(Tape, AnEndlessPrintingRunKeepsTheNewestLinesWithinTheRollsBound) {
    // Counts R1 down from 1,100,000 in the fast tempo, printing every value:
    // the roll keeps the newest million and counts what it let go.
    Machine m;
    m.keyInProgram("f fwd 1 1 store - 1 recall 1 printKey jump + 1 startStop").keys("1100000 store 1 clear");
    m->clearTape();
    m->setTempo(Tempo::fast);
    m.keys("startStop");
    while (m->running()) m.clock.runNext(m.clock.nowNanos() + toNanos(3600));
    const Tape& tape = m->tape();
    EXPECT_EQ(tape.printed(), 1100000u);
    EXPECT_EQ(tape.size(), Tape::bound);
    EXPECT_EQ(tape.dropped(), 100000u);
    Machine other;
    other.keys("999999 printKey 0 printKey");
    EXPECT_EQ(tape[0].printed(), other->tape()[0].printed()); // the oldest kept: 999,999
    EXPECT_EQ(tape.back().printed(), other->tape()[1].printed());
    // Tearing off starts a roll with nothing dropped.
    m->clearTape();
    EXPECT_EQ(m->tape().printed(), 0u);
}
