// SPDX-License-Identifier: GPL-3.0-or-later
// Going back in time: an action taken back leaves the machine as if it had
// never happened, a redo brings it back, and a run walked back stands where
// a shorter run stops — checked against machines that never went back.
#include "engine/History.h"
#include "support.h"

#include <random>

using namespace vx;
using vx::test::Machine;

namespace {

// The whole machine; the tape as printed text, since a line printed again has a new id.
struct Seen {
    MachineState state;
    std::vector<std::string> tape;
    bool operator==(const Seen&) const = default;
};
Seen seen(const Machine& m) {
    return {m.engine->bareState(), m.tape()};
}

std::vector<Key> allKeys() {
    std::vector<Key> keys;
    for (const KeyRow& row : keyRows) keys.push_back(row.key);
    return keys;
}

void play(Machine& m, const std::vector<Key>& keys, std::size_t from, std::size_t to,
          std::size_t skip = SIZE_MAX) {
    for (std::size_t i = from; i < to; ++i)
        if (i != skip) {
            m->press(keys[i]);
            m.settle();
        }
}

// LABEL 1, RCL 1, + 1 =, ST 1, PRINT, - 5 =, JUMP - 1, STOP: prints 1 to 5.
const std::vector<Step> printsFive = {129, 200, 1, 17, 1, 16, 192, 1, 28, 18, 5, 16, 234, 1, 27};
// Counts register 1 to 1500, printing every 500th: a run long enough for
// many values along its way.
const std::vector<Step> countsLong = {129, 1,  193, 1,   200, 1,  20, 5, 0, 0, 16, 69,  235, 3, 200,
                                      1,   28, 131, 200, 1,   18, 1,  5, 0, 0, 16, 234, 1,   27};

} // namespace

TEST(History, AnyKeyTakenBackIsAsIfItWasNeverPressedAndRedoBringsItBack) {
    const std::vector<Key> keys = allKeys();
    for (const Model model : allModels) {
        std::mt19937 rng(model == Model::orbis410 ? 7 : 8);
        std::vector<Key> sequence;
        for (int i = 0; i < 80; ++i) sequence.push_back(keys[rng() % keys.size()]);
        int checked = 0;
        for (std::size_t i = 0; i < sequence.size(); i += 2) {
            Machine undone(model);
            History history(*undone);
            play(undone, sequence, 0, i + 1);
            if (history.undoCause() == std::nullopt || history.undoCause()->key != sequence[i]) continue;
            ASSERT_TRUE(history.undo());
            play(undone, sequence, i + 1, sequence.size());
            Machine without(model);
            play(without, sequence, 0, sequence.size(), i);
            ASSERT_EQ(seen(undone), seen(without)) << rawValue(model) << " key " << i;
            const Seen before = seen(undone);
            if (history.undo()) {
                ASSERT_TRUE(history.redo());
                EXPECT_EQ(seen(undone), before) << "undo then redo changed the machine";
            }
            ++checked;
        }
        EXPECT_GE(checked, 12) << rawValue(model);
    }
}

TEST(History, PowerModelAndTearAreTakenBackWithEverythingTheyCleared) {
    Machine m;
    History history(*m);
    m->loadProgram(printsFive);
    m.keys("startStop wait 7 + 8 =");
    const Seen full = seen(m);
    const auto undoes = [&](const std::function<void()>& action, History::Cause::Kind kind) {
        action();
        m.settle();
        ASSERT_EQ(history.undoCause()->kind, kind);
        ASSERT_TRUE(history.undo());
        EXPECT_EQ(seen(m), full);
        ASSERT_TRUE(history.redo());
        EXPECT_NE(seen(m), full);
        ASSERT_TRUE(history.undo());
    };
    undoes([&] { m->setPower(false); }, History::Cause::Kind::switched);
    undoes([&] { m->select(Model::orbis412); }, History::Cause::Kind::switched);
    EXPECT_EQ(m->model(), Model::orbis410);
    undoes([&] { m->clearTape(); }, History::Cause::Kind::tear);
    // A program loaded right after a key is an action of its own, named by the shell;
    // an action that changed nothing (a save) leaves the key its name.
    m.keys("9");
    const Seen keyed = seen(m);
    m->loadProgram({56});
    history.nameLast("Programm laden");
    EXPECT_EQ(history.undoCause()->name, "Programm laden");
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(seen(m), keyed);
    m.keys("8");
    history.nameLast("Programm speichern");
    EXPECT_EQ(history.undoCause()->key, Key::digit(8));
    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.redo());
    // A tear right after a key that printed: the key's lines go with the roll.
    m.keys("4 printKey");
    const Seen printed = seen(m);
    m->clearTape();
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(seen(m), printed);
    // A tear, keys on the new roll, then all of it back and forth.
    m->clearTape();
    m.keys("1 printKey 2 printKey");
    const Seen after = seen(m);
    while (history.canUndo()) history.undo();
    EXPECT_TRUE(m->tape().empty());
    while (history.canRedo()) history.redo();
    EXPECT_EQ(seen(m), after);
}

TEST(History, ARunWalkedBackStandsWhereAShorterRunStops) {
    for (const auto* program : {&printsFive, &countsLong}) {
        Machine run;
        History history(*run);
        run->loadProgram(*program);
        run.keys("startStop wait");
        const std::uint64_t n = run->lastRun().steps;
        ASSERT_TRUE(history.hasRun());
        ASSERT_EQ(history.runSteps(), n);
        const Seen end = seen(run);
        // The same program stopped by START STOP after so many seconds.
        for (const double seconds : {0.0, 0.004, 0.7, 2.1, 4.0, 9.5}) {
            Machine stopped;
            stopped->loadProgram(*program);
            stopped.keys("startStop");
            stopped.advance(seconds);
            if (!stopped->running()) continue; // ended by itself already
            stopped.keys("startStop wait");
            const std::uint64_t at = stopped->lastRun().steps;
            ASSERT_TRUE(history.moveTo(at));
            const Seen back = seen(run);
            const Seen expected = seen(stopped);
            // Both count the original's waits up to the last slice, whose wait the key cut short.
            EXPECT_EQ(back, expected) << "at step " << at << " of " << n;
        }
        EXPECT_GT(n, program == &countsLong ? 20000u : 30u);
        ASSERT_TRUE(history.moveTo(n));
        EXPECT_EQ(seen(run), end);
    }
}

TEST(History, SteppingBackOverAPrintTakesItsLineAndForwardBringsItBack) {
    Machine m;
    History history(*m);
    m->loadProgram(printsFive);
    m.keys("startStop wait");
    const std::vector<std::string> all = m.tape();
    ASSERT_EQ(all.size(), 5u);
    ASSERT_TRUE(history.back()); // STOP
    ASSERT_TRUE(history.back()); // JUMP -
    EXPECT_EQ(m.tape().size(), 5u);
    while (m.tape().size() == 5) ASSERT_TRUE(history.back());
    EXPECT_EQ(m.tape(), std::vector<std::string>(all.begin(), all.end() - 1));
    EXPECT_TRUE(history.forward());
    EXPECT_EQ(m.tape(), all);
    // The moves are one action: undone, the machine is at the run's end again,
    // the lines held meanwhile back on the tape; redone, at the place again.
    ASSERT_TRUE(history.moveTo(20));
    const std::vector<std::string> at20 = m.tape();
    ASSERT_EQ(history.undoCause()->kind, History::Cause::Kind::place);
    history.undo();
    EXPECT_EQ(m.tape(), all);
    EXPECT_EQ(history.position(), history.runSteps());
    history.redo();
    EXPECT_EQ(m.tape(), at20);
    history.undo();
    // Starting again from an earlier step drops the rest of the run.
    history.moveTo(3);
    m.keys("startStop wait");
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(m.tape(), all);
}

TEST(History, SingleStepsGoBackAndForthOneAtATime) {
    Machine m;
    History history(*m);
    m->loadProgram(printsFive);
    m.keys("mode:step");
    std::vector<Seen> after;
    for (int i = 0; i < 12; ++i) {
        m.keys("startStop wait");
        after.push_back(seen(m));
    }
    for (int i = 10; i >= 0; --i) {
        ASSERT_TRUE(history.canGoBack());
        history.back();
        EXPECT_EQ(seen(m), after[static_cast<std::size_t>(i)]) << i;
    }
    history.forward();
    EXPECT_EQ(seen(m), after[1]);
}

TEST(History, StaysWithinItsBudgetAndKeepsAThousandActions) {
    Machine m;
    History history(*m);
    for (int i = 0; i < 6000; ++i) m->press(i % 2 ? Key(KeyKind::plus) : Key::digit(1));
    EXPECT_EQ(history.entries(), History::maxEntries);
    EXPECT_LE(history.bytes(), History::budgetBytes);
    int undone = 0;
    while (history.undo()) ++undone;
    EXPECT_GE(undone, 1000);
    // A long run keeps a bounded number of values along its way.
    m->loadProgram({129, 1, 193, 1, 232, 1});
    m.keys("startStop");
    m.advance(300);
    m.keys("startStop wait");
    EXPECT_GT(history.runSteps(), 600000u);
    EXPECT_LE(history.bytes(), History::budgetBytes);
    ASSERT_TRUE(history.moveTo(500000));
    EXPECT_EQ(m->registers()[1].v, 500000 / 4); // four steps a round
}
