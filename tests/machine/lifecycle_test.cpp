// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Lifecycle, StoredModelDecidesTheStartModel) {
    for (auto [stored, expected] : {std::pair{"412", Model::orbis412},
                                    {"410", Model::orbis410},
                                    {"999", Model::orbis410},
                                    {"", Model::orbis410}}) {
        SimulatedClock clock;
        MemorySettings settings;
        settings.setText("model", stored);
        StdRandom random(1);
        Engine engine(clock, settings, random);
        EXPECT_EQ(engine.model(), expected) << stored;
        EXPECT_EQ(engine.registers().size(), expected == Model::orbis412 ? 44u : 12u);
    }
    SimulatedClock clock;
    MemorySettings empty;
    StdRandom random(1);
    EXPECT_EQ(Engine(clock, empty, random).model(), Model::orbis410);
}

TEST(Lifecycle, ModelChangeClearsRegistersAndProgramButKeepsTheTape) {
    Machine m;
    std::vector<Model> announced;
    m->addModelListener([&](Model model) { announced.push_back(model); });
    ASSERT_EQ(m.keys("5 store 3 printKey mode:load 7 mode:run")->registers()[3].v, 5);
    const auto tapeBefore = m->tape().size();
    const int writes = m.settings.writes;

    m->select(Model::orbis410); // the model in use: nothing happens
    EXPECT_EQ(m->registers()[3].v, 5);
    EXPECT_EQ(m.settings.writes, writes);
    EXPECT_TRUE(announced.empty());

    m->select(Model::orbis412);
    EXPECT_EQ(m->registers().size(), 44u);
    for (const Num& r : m->registers()) EXPECT_EQ(r, Num::zero);
    EXPECT_TRUE(m->programSteps().empty());
    EXPECT_EQ(m->tape().size(), tapeBefore);
    EXPECT_EQ(savedModel(m.settings), Model::orbis412);
    EXPECT_EQ(announced, std::vector<Model>{Model::orbis412});

    m->select(Model::orbis410);
    EXPECT_EQ(m->registers().size(), 12u);
}

TEST(Lifecycle, PowerOffStopsTheRunAndClearsTheMachineButNotTheTape) {
    Machine m;
    ASSERT_TRUE(m.keys("mode:load f fwd 1 jump 1 mode:run 4 store 2 startStop").after(0.1)->running());
    const auto tapeBefore = m->tape().size();
    m->setPower(false);
    EXPECT_FALSE(m->running());
    EXPECT_TRUE(m->programSteps().empty());
    EXPECT_EQ(m->registers()[2], Num::zero);
    EXPECT_EQ(m->tape().size(), tapeBefore);
    EXPECT_EQ(m.display(), "");
    m->setPower(true);
    EXPECT_EQ(m.display(), "0.0000");
}

TEST(Lifecycle, AClickOnThePowerSwitchWhereItStandsKeepsTheProgram) {
    Machine m;
    m.keys("mode:load 5 mode:run 3 store 1");
    m->setPower(true);
    EXPECT_EQ(m->programSteps().size(), 1u);
    EXPECT_EQ(m->registers()[1].v, 3);
}

TEST(Lifecycle, SwitchingToLoadCommitsTheHalfTypedNumber) {
    Machine m;
    m.keys("2.5");
    m->setMode(Mode::step);
    ASSERT_TRUE(m->entry().has_value()); // RUN and STEP keep the entry
    m->setMode(Mode::load);
    EXPECT_FALSE(m->entry().has_value());
    EXPECT_EQ(m->E(), (Num{2.5, false}));

    m->setMode(Mode::run);
    m.keys("30 dms 15");
    m->setMode(Mode::load);
    EXPECT_EQ(m->E(), (Num{30.25, true}));

    m->setMode(Mode::run);
    m.keys("1234567.891234"); // 13 digits kept, rounded to 13 on commit
    m->setMode(Mode::load);
    EXPECT_EQ(m->E().v, 1234567.891234);
}

TEST(Lifecycle, AnyModeChangeDropsThePendingPrefix) {
    Machine m;
    ASSERT_NE(m.keys("store")->prefix().kind, Prefix::Kind::none);
    m->setMode(Mode::run);
    EXPECT_EQ(m->prefix().kind, Prefix::Kind::none);
    m.keys("5 store");
    m->setMode(Mode::load);
    EXPECT_EQ(m->prefix().kind, Prefix::Kind::none);
}

TEST(Lifecycle, BlinkPhaseChangesOnlyWhileRunning) {
    Machine m;
    EXPECT_TRUE(m.after(1.0)->blinkOn());
    EXPECT_FALSE(m.keys("mode:load f fwd 1 jump 1 mode:run startStop").after(0.31)->blinkOn());
    EXPECT_EQ(m.display(), "");
    EXPECT_TRUE(m.after(0.3)->blinkOn());
    EXPECT_EQ(m.display(), "- - - - - - - -");
    m.keys("startStop");
    const bool phase = m->blinkOn();
    EXPECT_EQ(m.after(1.0)->blinkOn(), phase);
}

TEST(Lifecycle, DestroyingTheEngineLeavesNoCallbackBehind) {
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random(3);
    {
        Engine engine(clock, settings, random);
        engine.press(KeyKind::startStop); // an empty memory: the run ends in its first slice
        engine.press(Key::digit(1));
        engine.press(KeyKind::f);
        engine.press(KeyKind::chs); // SELFTEST: a temporary display
    }
    EXPECT_EQ(clock.pending(), 0u);
    clock.advance(10);
}

TEST(Lifecycle, APowerCycleForgetsTheDecimalSetting) {
    Machine m;
    EXPECT_EQ(m.keys("setDP 2 power:off power:on 1 / 3 =").display(), "0.3333");
}

TEST(Lifecycle, TheBlinkTurnsEveryThreeTenthsFromTheStart) {
    Machine m;
    m->loadProgram({129, 232, 1});
    m.keys("startStop");
    const auto dashes = Formatter::dashes();
    const auto blank = Formatter::blank();
    // The blink timer runs from the machine's start: its phase turns every 0.3 s.
    m.advance(0.29);
    const bool first = m->cells() == dashes;
    EXPECT_TRUE(first || m->cells() == blank);
    m.advance(0.02); // 0.31
    EXPECT_EQ(m->cells() == dashes, !first);
    m.advance(0.28); // 0.59
    EXPECT_EQ(m->cells() == dashes, !first);
    m.advance(0.02); // 0.61
    EXPECT_EQ(m->cells() == dashes, first);
    m.keys("startStop");
}
