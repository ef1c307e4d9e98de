// SPDX-License-Identifier: GPL-3.0-or-later
// How keys pressed in LOAD mode are put together into steps: prefixes,
// operands and the keys that cancel or edit.
#include "support.h"

using namespace vx;
using vx::test::Machine;

namespace {
// The steps the keys store in LOAD mode, code and operand.
std::vector<int> feed(Machine& m, std::initializer_list<Key> keys) {
    m->setMode(Mode::load);
    const int from = m->pc();
    for (Key k : keys) m->press(k);
    std::vector<int> stored;
    for (int step = from; step < m->pc(); ++step) stored.push_back(m->program()[step - 1].value_or(-1));
    return stored;
}
using Steps = std::vector<int>;
} // namespace

TEST(Assembler, RegisterPrefixesOnTheSmallModel) {
    Machine m;
    EXPECT_EQ(feed(m, {KeyKind::store, KeyKind::plus, KeyKind::times, Key::digit(3)}), (Steps{195, 3}));
    EXPECT_EQ(feed(m, {KeyKind::recall, KeyKind::dot}), (Steps{200, 10}));
    EXPECT_EQ(feed(m, {KeyKind::exchange, KeyKind::power, KeyKind::chs}), (Steps{213, 11}));
    // EXP is index 12, beyond the bank's keys: the prefix goes and EXP is keyed.
    EXPECT_EQ(feed(m, {KeyKind::store, KeyKind::exp}), (Steps{12}));
    EXPECT_EQ(m->prefix(), Prefix::none());
    // f has no meaning inside a 410 register prefix: it is keyed afresh.
    EXPECT_EQ(feed(m, {KeyKind::recall, KeyKind::f}), (Steps{}));
    EXPECT_EQ(m->prefix().kind, Prefix::Kind::f);
}

TEST(Assembler, TwoDigitAndIndirectRegistersOnTheLargeModel) {
    Machine m(Model::orbis412);
    EXPECT_EQ(feed(m, {KeyKind::recall, KeyKind::f, Key::digit(1), Key::digit(2)}), (Steps{200, 112}));
    EXPECT_EQ(feed(m, {KeyKind::store, KeyKind::minus, Key::digit(4), Key::digit(3)}), (Steps{194, 43}));
    EXPECT_EQ(feed(m, {KeyKind::store, Key::digit(9), Key::digit(9)}), (Steps{192, 99}));
    EXPECT_EQ(feed(m, {KeyKind::recall, Key::digit(1)}), (Steps{}));
    EXPECT_EQ(m->prefix(), Prefix::reg(200, 0, false, 1));
    EXPECT_EQ(feed(m, {KeyKind::sin}), (Steps{56}));
    // A modifier after the first digit breaks the prefix and is keyed itself.
    EXPECT_EQ(feed(m, {KeyKind::store, Key::digit(1), KeyKind::plus}), (Steps{17}));
}

TEST(Assembler, ConditionsCombineAndLabelsRespectTheModel) {
    Machine m;
    EXPECT_EQ(feed(m, {KeyKind::jump, KeyKind::plus, KeyKind::equals, Key::digit(5)}), (Steps{237, 5}));
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::jump, KeyKind::minus, KeyKind::dot}), (Steps{242, 10}));
    EXPECT_EQ(feed(m, {KeyKind::jump, KeyKind::startStop}), (Steps{232, 27}));
    EXPECT_EQ(feed(m, {KeyKind::jump, KeyKind::rparen}), (Steps{23})); // label 15 > 11 on the 410
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::fwd, KeyKind::lparen}), (Steps{22}));
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::fwd, KeyKind::chs}), (Steps{139}));

    Machine big(Model::orbis412);
    EXPECT_EQ(feed(big, {KeyKind::f, KeyKind::fwd, KeyKind::lparen}), (Steps{142}));
    EXPECT_EQ(feed(big, {KeyKind::jump, KeyKind::rparen}), (Steps{232, 15}));
}

TEST(Assembler, ShiftDecimalsAndMetricPrefixes) {
    Machine m;
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::f}), (Steps{}));
    EXPECT_EQ(m->prefix(), Prefix::none());
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::back}), (Steps{24}));
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::equals}), (Steps{}));
    EXPECT_EQ(feed(m, {KeyKind::setDP, KeyKind::sin}), (Steps{56}));
    EXPECT_EQ(feed(m, {KeyKind::setDP, KeyKind::exp}), (Steps{156}));
    EXPECT_EQ(feed(m, {KeyKind::toMetric, Key::digit(3)}), (Steps{163}));
    EXPECT_EQ(feed(m, {KeyKind::f, KeyKind::toMetric, KeyKind::chs}), (Steps{187}));
    EXPECT_EQ(feed(m, {KeyKind::toMetric, KeyKind::exp}), (Steps{12}));
    // INSERT opens an empty step at the counter, f INSERT closes it again.
    m->setCounter(2);
    feed(m, {KeyKind::insert});
    EXPECT_EQ(m->program()[0], 24);
    EXPECT_EQ(m->program()[1], std::nullopt);
    EXPECT_EQ(m->program()[2], 56);
    feed(m, {KeyKind::f, KeyKind::insert});
    EXPECT_EQ(m->program()[1], 56);
    EXPECT_EQ(m->pc(), 2);
    feed(m, {KeyKind::back});
    EXPECT_EQ(m->pc(), 1);
}
