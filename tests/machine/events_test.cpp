// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine tells its host: the events the sound hears and the
// changes the views follow, on the simulated clock.
#include "support.h"

using namespace vx;
using vx::test::Machine;

namespace {
// Everything the machine tells, kept in order.
struct Heard {
    std::vector<MachineEvent> events;
    explicit Heard(Machine& m) {
        m->addListener([this](const MachineEvent& e) { events.push_back(e); });
    }
    std::vector<MachineEvent> of(MachineEvent::Kind kind) const {
        std::vector<MachineEvent> found;
        for (const MachineEvent& e : events)
            if (e.kind == kind) found.push_back(e);
        return found;
    }
    unsigned changedParts() const {
        unsigned parts = 0;
        for (const MachineEvent& e : of(MachineEvent::Kind::changed)) parts |= e.changes.parts;
        return parts;
    }
};
using K = MachineEvent::Kind;
} // namespace

TEST(Events, EveryPrintedLineAtItsTimeWithThePrintersTime) {
    for (const Tempo tempo : {Tempo::original, Tempo::fast}) {
        Machine m;
        // 5, PRINT, 66, PRINT, ADV, STOP.
        m.keyInProgram("5 printKey 6 6 printKey adv startStop");
        m->setTempo(tempo);
        Heard heard(m);
        m.keys("startStop");
        m.settle();
        const auto lines = heard.of(K::line);
        ASSERT_EQ(lines.size(), m.tape().size());
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].characters, 6) << "5.0000";
        EXPECT_EQ(lines[1].characters, 7) << "66.0000";
        EXPECT_EQ(lines[2].characters, 0) << "ADV feeds the paper";
        for (const MachineEvent& line : lines) EXPECT_EQ(line.busy, tempo == Tempo::original ? 0.5 : 0.0);
        if (tempo == Tempo::original) {
            // Each line waits for the printer to finish the one before.
            EXPECT_NEAR(lines[1].at - lines[0].at, 0.5, 0.01);
            EXPECT_NEAR(lines[2].at - lines[1].at, 0.5, 0.01);
        }
        ASSERT_EQ(heard.of(K::runStarted).size(), 1u);
        ASSERT_EQ(heard.of(K::runEnded).size(), 1u);
        EXPECT_EQ(heard.of(K::runEnded)[0].why, RunEnd::stopStep);
    }
}

TEST(Events, EveryKeyEvenOneTheMachineDropsAndEverySwitchAndTear) {
    Machine m;
    Heard heard(m);
    m.keys("1 + 2 = power:off 7 power:on mode:load mode:run printer:off angle:grad");
    m->clearTape();
    const auto keys = heard.of(K::key);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[4].key, Key::digit(7));
    EXPECT_FALSE(keys[4].taken) << "switched off, the key still clicks";
    EXPECT_TRUE(keys[0].taken);
    std::vector<SwitchId> switched;
    for (const MachineEvent& e : heard.of(K::switched)) switched.push_back(e.which);
    EXPECT_EQ(switched, (std::vector<SwitchId>{SwitchId::power, SwitchId::power, SwitchId::mode,
                                               SwitchId::mode, SwitchId::printer, SwitchId::angle}));
    EXPECT_EQ(heard.of(K::tear).size(), 1u);
    // A breakpoint and START STOP end runs, each saying why; an error begins once.
    m.keyInProgram("f fwd 1 1 + jump 1");
    m->setBreakpoint(3, true);
    m.keys("startStop");
    m.advance(1);
    m->setBreakpoint(3, false);
    m.keys("startStop");
    m.advance(1);
    m.keys("startStop 1 / 0 = 5 =");
    const auto ends = heard.of(K::runEnded);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].why, RunEnd::breakpoint);
    EXPECT_EQ(ends[1].why, RunEnd::key);
    EXPECT_EQ(heard.of(K::error).size(), 1u);
}

TEST(Events, EachChangeNamesThePartsItTouchedAndTheDisplayIsReadOncePerChange) {
    const struct {
        const char* script;
        unsigned parts;
        std::vector<int> registers;
    } cases[] = {
        {"7", parts({Part::display, Part::calculation}), {}},
        {"5 store 3", parts({Part::display, Part::calculation, Part::registers, Part::tape}), {3}},
        {"mode:load sin", parts({Part::display, Part::switches, Part::program, Part::tape}), {}},
        {"printKey", parts({Part::tape, Part::calculation}), {}},
        {"printer:off", parts({Part::switches}), {}},
    };
    for (const auto& c : cases) {
        Machine m;
        Heard heard(m);
        const std::uint64_t readings = m->shownReadings();
        m.keys(c.script);
        const auto changes = heard.of(K::changed);
        EXPECT_EQ(heard.changedParts(), c.parts) << c.script;
        std::vector<int> registers;
        for (const MachineEvent& e : changes)
            registers.insert(registers.end(), e.changes.registers.begin(), e.changes.registers.end());
        EXPECT_EQ(registers, c.registers) << c.script;
        EXPECT_EQ(changes.back().changes.shown, m->shown()) << c.script;
        // The display is read once for each time the machine tells a change
        // (and once more for a change that turns out to be none).
        EXPECT_GE(m->shownReadings() - readings, changes.size()) << c.script;
        EXPECT_LE(m->shownReadings() - readings, 2 * changes.size() + 1) << c.script;
    }
}
