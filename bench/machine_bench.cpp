// SPDX-License-Identifier: GPL-3.0-or-later
// What must stay cheap in the machine: a key press, the display, a program
// run in simulated time.
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"

#include <benchmark/benchmark.h>

using namespace vx;

namespace {

struct Bench {
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{7};
    Engine engine{clock, settings, random};
};

void keyPress(benchmark::State& state) {
    Bench b;
    const Key keys[] = {Key::digit(1), Key::digit(2), KeyKind::plus, Key::digit(3), KeyKind::equals};
    std::size_t i = 0;
    for (auto _ : state) {
        b.engine.press(keys[i++ % 5]);
        if (b.engine.tape().size() > 100000) b.engine.clearTape();
    }
}
BENCHMARK(keyPress);

void displayCells(benchmark::State& state) {
    Bench b;
    for (char c : std::string("1234567.891"))
        b.engine.press(c == '.' ? Key(KeyKind::dot) : Key::digit(c - '0'));
    b.engine.press(KeyKind::equals);
    for (auto _ : state) benchmark::DoNotOptimize(b.engine.cells());
}
BENCHMARK(displayCells);

// LABEL 1, 1, ST+ 1, JUMP 1: four steps a round, register 1 counts the rounds.
void computingLoop(benchmark::State& state) {
    Bench b;
    b.engine.loadProgram({129, 1, 193, 1, 232, 1});
    b.engine.press(KeyKind::startStop);
    double steps = 0;
    for (auto _ : state) {
        const double before = b.engine.registers()[1].v;
        b.clock.advance(10.0); // ten simulated seconds: 30,000 steps
        steps += 4 * (b.engine.registers()[1].v - before);
    }
    state.counters["steps_per_second"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
}
BENCHMARK(computingLoop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
