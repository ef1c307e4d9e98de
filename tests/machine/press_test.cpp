// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;
using AK = Assembled::Kind;

namespace {
Assembled feed(Engine& e, std::initializer_list<Key> keys) {
    Assembled last;
    for (Key k : keys) last = e.assemble(k);
    return last;
}
} // namespace

TEST(Assembler, RegisterPrefixesOnTheSmallModel) {
    Machine m;
    EXPECT_EQ(feed(*m, {K::store, K::plus, K::times, Key::digit(3)}), Assembled::makeCode(195, 3));
    EXPECT_EQ(feed(*m, {K::recall, K::dot}), Assembled::makeCode(200, 10));
    EXPECT_EQ(feed(*m, {K::exchange, K::power, K::chs}), Assembled::makeCode(213, 11));
    // EXP is index 12, beyond the bank's keys: the prefix goes and EXP is keyed.
    EXPECT_EQ(feed(*m, {K::store, K::exp}), Assembled::makeCode(12));
    EXPECT_EQ(m->prefix, Prefix::none());
    // f has no meaning inside a 410 register prefix: it is keyed afresh.
    EXPECT_EQ(feed(*m, {K::recall, K::f}), Assembled::of(AK::pending));
    EXPECT_EQ(m->prefix.kind, Prefix::Kind::f);
}

TEST(Assembler, TwoDigitAndIndirectRegistersOnTheLargeModel) {
    Machine m(Model::orbis412);
    EXPECT_EQ(feed(*m, {K::recall, K::f, Key::digit(1), Key::digit(2)}), Assembled::makeCode(200, 112));
    EXPECT_EQ(feed(*m, {K::store, K::minus, Key::digit(4), Key::digit(3)}), Assembled::makeCode(194, 43));
    EXPECT_EQ(feed(*m, {K::store, Key::digit(9), Key::digit(9)}), Assembled::makeCode(192, 99));
    m->assemble(K::recall);
    m->assemble(Key::digit(1));
    EXPECT_EQ(m->prefix, Prefix::reg(200, 0, false, 1));
    EXPECT_EQ(m->assemble(K::sin), Assembled::makeCode(56));
    // A modifier after the first digit breaks the prefix and is keyed itself.
    EXPECT_EQ(feed(*m, {K::store, Key::digit(1), K::plus}), Assembled::makeCode(17));
}

TEST(Assembler, ConditionsCombineAndLabelsRespectTheModel) {
    Machine m;
    EXPECT_EQ(feed(*m, {K::jump, K::plus, K::equals, Key::digit(5)}), Assembled::makeCode(237, 5));
    EXPECT_EQ(feed(*m, {K::f, K::jump, K::minus, K::dot}), Assembled::makeCode(242, 10));
    EXPECT_EQ(feed(*m, {K::jump, K::startStop}), Assembled::makeCode(232, 27));
    EXPECT_EQ(feed(*m, {K::jump, K::rparen}), Assembled::makeCode(23)); // label 15 > 11 on the 410
    EXPECT_EQ(feed(*m, {K::f, K::fwd, K::lparen}), Assembled::makeCode(22));
    EXPECT_EQ(feed(*m, {K::f, K::fwd, K::chs}), Assembled::makeCode(139));

    Machine big(Model::orbis412);
    EXPECT_EQ(feed(*big, {K::f, K::fwd, K::lparen}), Assembled::makeCode(142));
    EXPECT_EQ(feed(*big, {K::jump, K::rparen}), Assembled::makeCode(232, 15));
}

TEST(Assembler, ShiftDecimalsAndMetricPrefixes) {
    Machine m;
    EXPECT_EQ(feed(*m, {K::f, K::f}), Assembled::of(AK::ignored));
    EXPECT_EQ(m->prefix, Prefix::none());
    EXPECT_EQ(feed(*m, {K::f, K::back}), Assembled::makeCode(24));
    EXPECT_EQ(feed(*m, {K::f, K::insert}), Assembled::of(AK::remove));
    EXPECT_EQ(feed(*m, {K::f, K::equals}), Assembled::of(AK::ignored));
    EXPECT_EQ(feed(*m, {K::setDP, K::sin}), Assembled::makeCode(56));
    EXPECT_EQ(feed(*m, {K::setDP, K::exp}), Assembled::makeCode(156));
    EXPECT_EQ(feed(*m, {K::toMetric, Key::digit(3)}), Assembled::makeCode(163));
    EXPECT_EQ(feed(*m, {K::f, K::toMetric, K::chs}), Assembled::makeCode(187));
    EXPECT_EQ(feed(*m, {K::toMetric, K::exp}), Assembled::makeCode(12));
    EXPECT_EQ(m->assemble(K::back), Assembled::of(AK::back));
    EXPECT_EQ(m->assemble(K::insert), Assembled::of(AK::insert));
    EXPECT_EQ(Prefix::reg(208, 3).provisionalCode(), 211);
    EXPECT_EQ(Prefix::cond(240, 6).provisionalCode(), 246);
    EXPECT_EQ(Prefix::make(Prefix::Kind::label).provisionalCode(), 128);
}

TEST(Press, PowerOffIgnoresEveryKey) {
    Machine m;
    m->setPower(false);
    const auto tick = m->tick;
    m.keys("f 5 store");
    EXPECT_EQ(m->prefix, Prefix::none());
    EXPECT_EQ(m->tick, tick);
    EXPECT_FALSE(m->entry.has_value());
}

TEST(Press, ARunningProgramOnlyHearsStartStop) {
    Machine m;
    m.keys("mode:load f fwd 1 jump 1 mode:run startStop");
    m.advance(0.01);
    ASSERT_TRUE(m->running);
    m.keys("f 7");
    EXPECT_TRUE(m->running);
    EXPECT_FALSE(m->entry.has_value());
    EXPECT_EQ(m->prefix, Prefix::none());
    m.keys("f startStop"); // the f was dropped; startStop stops
    EXPECT_FALSE(m->running);
    EXPECT_EQ(m->prefix, Prefix::none());
}

TEST(Press, TheErrorStateTakesOnlyClearAndReset) {
    Machine m;
    m.keys("7 / 0 =");
    ASSERT_TRUE(m->error);
    m.keys("5 + sqrt f 3");
    EXPECT_TRUE(m->error);
    EXPECT_EQ(m.display(), "E-----");
    m.keys("clear");
    EXPECT_FALSE(m->error);
    EXPECT_EQ(m.display(), "0.0000");
}

TEST(Press, AHandKeyedJumpPositionsTheCounterOnly) {
    Machine m;
    m->loadProgram({1, 2, 133, 4});
    m.keys("jump + = 5");
    EXPECT_EQ(m->pc, 3); // E = 0 satisfies "+="
    EXPECT_FALSE(m->running);
    m->pc = 1;
    m.keys("1 chs jump + = 5"); // the entry is committed first: -1 fails the test
    EXPECT_EQ(m->pc, 1);
    EXPECT_EQ(m->E.v, -1);
    m.keys("jump + - = 5"); // asks whether a number was keyed: it was
    EXPECT_EQ(m->pc, 3);
    m->pc = 1;
    m.keys("jump + - = 5"); // and that answer was used up
    EXPECT_EQ(m->pc, 1);
}

TEST(Press, FwdOutsideLoadShowsTheStepsForAMoment) {
    Machine m;
    m->loadProgram({56, 57});
    m->pc = 2;
    m.keys("fwd");
    EXPECT_EQ(vx::test::showCells(m->cells()), "070 .002  071    ");
    m.advance(1.49);
    EXPECT_TRUE(m->overrideCells.has_value());
    m.advance(0.02);
    EXPECT_EQ(m.display(), "0.0000");
    m.keys("fwd 5"); // a key ends the temporary display at once
    EXPECT_EQ(m.display(), "5.0000");
}
