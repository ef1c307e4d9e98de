// SPDX-License-Identifier: GPL-3.0-or-later
// The fast tempo beside the original one, the original's running time,
// the execution counts and the step each printed line came from.
#include "support.h"

using namespace vx;
using vx::test::Machine;

namespace {

// Runs until the program stops by itself; the simulated seconds it took.
double runToTheEnd(Machine& m) {
    const std::int64_t start = m.clock.nowNanos();
    m.keys("startStop");
    while (m->running()) m.clock.runNext(m.clock.nowNanos() + toNanos(3600));
    return static_cast<double>(m.clock.nowNanos() - start) / 1e9;
}

struct Printed {
    std::string text;
    int step;
    bool operator==(const Printed&) const = default;
};

std::vector<Printed> printed(Machine& m) {
    std::vector<Printed> out;
    for (const TapeLine& l : m.engine->tape()) out.push_back({l.printed(), l.step});
    return out;
}

// Counts R1 down, printing it each round.
const char* const countdown = "f fwd 1 1 store - 1 recall 1 printKey jump + 1 startStop";
// The countdown, then a PAUSE (f EXP) between two more lines.
const char* const withPause =
    "f fwd 1 1 store - 1 recall 1 printKey jump + 1 2 printKey f exp 3 printKey startStop";
// The countdown without a line: its slices wait between them instead of for the printer.
const char* const silent = "f fwd 1 1 store - 1 recall 1 jump + 1 startStop";

} // namespace

TEST(Tempo, BothTemposComputeTheSameAndTheFastOneSkipsOnlyTheWaits) {
    // The original's least time (thirty lines at half a second; thirty rounds of slices), and
    // what the fast run waits for: nothing but a PAUSE.
    const struct {
        const char* keys;
        double atLeast, fastWaits;
    } cases[] = {{countdown, 15.0, 0.0}, {withPause, 15.0, 3.0}, {silent, 0.04, 0.0}};
    for (const auto& [keys, atLeast, fastWaits] : cases) {
        Machine original, fast;
        for (Machine* m : {&original, &fast}) {
            m->keyInProgram(keys);
            m->keys("30 store 1 clear");
        }
        fast->setTempo(Tempo::fast);
        const double originalSeconds = runToTheEnd(original);
        const double fastSeconds = runToTheEnd(fast);
        EXPECT_EQ(printed(fast), printed(original)) << keys;
        EXPECT_EQ(fast->registers(), original->registers());
        EXPECT_EQ(fast->cells(), original->cells());
        EXPECT_EQ(fast->lastRun(), original->lastRun());
        // The original's time is the original tempo's simulated time, to the nanosecond.
        EXPECT_EQ(original->lastRun().originalNanos, toNanos(originalSeconds)) << keys;
        EXPECT_GE(originalSeconds, atLeast) << keys;
        EXPECT_EQ(fastSeconds, fastWaits) << keys;
    }
}

TEST(Tempo, AFastRunHandsBackTheEventLoopBetweenChunks) {
    Machine m;
    m.keyInProgram("f fwd 1 1 store + 1 jump 1"); // four steps a round, for ever
    m->setTempo(Tempo::fast);
    m.keys("startStop");
    m.clock.runNext(m.clock.nowNanos());
    const double afterOneChunk = m->registers()[1].v;
    EXPECT_GT(afterOneChunk, 5000) << "a chunk is thousands of steps";
    EXPECT_LT(afterOneChunk, 20000) << "and then the host gets its loop back";
    EXPECT_TRUE(m->running());
    // START STOP between two chunks stops the run at once.
    EXPECT_FALSE(m.keys("startStop")->running());
    EXPECT_EQ(m.after(1)->registers()[1].v, afterOneChunk);
    // Switching back to the original tempo during a run takes the original's pace.
    m.keys("startStop");
    m->setTempo(Tempo::original);
    m.clock.runNext(m.clock.nowNanos() + toNanos(1));
    const double before = m->registers()[1].v;
    EXPECT_EQ(m.after(0.004)->registers()[1].v, before + 3);
}

TEST(Tempo, ASingleStepAndAListingKeepTheirPaceInTheFastTempo) {
    Machine m;
    m.keyInProgram("1 + 2 = startStop");
    m->setTempo(Tempo::fast);
    EXPECT_EQ(m.keys("mode:step startStop").after(0.69)->tape().size(), 0u);
    EXPECT_EQ(m.after(0.02)->tape().size(), 1u);
    m->setCounter(1);
    m.keys("fwd");
    m.advance(0);
    const std::size_t first = m->tape().size();
    EXPECT_EQ(m.after(0.49)->tape().size(), first);
    EXPECT_EQ(m.after(0.02)->tape().size(), first + 1);
}

TEST(Tempo, EveryExecutedStepCountsAndLoadingClears) {
    Machine m;
    m.keyInProgram(countdown).keys("1000 store 1 clear");
    runToTheEnd(m);
    const auto& counts = m->executionCounts();
    // Steps 1 ... 9 are the loop (LABEL, 1, ST-, its operand, RCL, its operand,
    // PRINT, JUMP, its operand): each code once a round, its operand never.
    const std::vector<std::uint64_t> loop(counts.begin(), counts.begin() + 11);
    EXPECT_EQ(loop, (std::vector<std::uint64_t>{1000, 1000, 1000, 0, 1000, 0, 1000, 1000, 0, 1, 0}));
    EXPECT_EQ(m->lastRun().steps, 6001u);
    // A single step counts too; keys typed in RUN mode do not.
    m->setCounter(10);
    EXPECT_EQ(m.keys("mode:step startStop").after(1)->executionCounts()[9], 2u);
    EXPECT_EQ(m.keys("mode:run 1 + 2 =")->executionCounts()[9], 2u);
    m->resetExecutionCounts();
    EXPECT_EQ(m->executionCounts(), std::vector<std::uint64_t>(416, 0));
    // Cleared with the memory: loading, power off, a model change.
    for (const char* clearing : {"load", "power", "model"}) {
        m->setCounter(1);
        EXPECT_GT(m.keys("startStop").after(60)->executionCounts()[0], 0u) << clearing;
        if (std::string(clearing) == "load")
            m->loadProgram(m->programSteps());
        else if (std::string(clearing) == "power")
            m.keys("power:off power:on");
        else
            m->select(Model::orbis412);
        EXPECT_EQ(m->executionCounts(), std::vector<std::uint64_t>(416, 0)) << clearing;
        m.keyInProgram(countdown).keys("5 store 1 clear");
    }
}

TEST(Tempo, EachLineKnowsTheStepThatPrintedIt) {
    Machine m;
    m.keyInProgram("2 printKey 3 + 4 = startStop").keys("7 printKey"); // a key: no step
    runToTheEnd(m);
    m.keys("printer:on mode:step");
    m->setCounter(1);
    m.keys("startStop");
    m.advance(1); // a single step prints its step, then executes it
    m->setCounter(1);
    m.keys("fwd");
    m.advance(5); // a listing prints every step
    std::vector<int> steps;
    for (const TapeLine& l : m->tape()) steps.push_back(l.step);
    EXPECT_EQ(steps, (std::vector<int>{0, 2, 1, 1, 2, 3, 4, 5, 6, 7}))
        << "the key's line, PRINT at step 2, the single step at 1, the listing of 1 ... 7";
}
