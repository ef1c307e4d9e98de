// SPDX-License-Identifier: GPL-3.0-or-later
// The history's costs: the fast tempo's rate with and without it, what it
// holds after a run of 10⁸ steps and after 100,000 key presses, and how long
// a move to any step of that run takes (the replay from the nearest kept value).
//   history_bench [steps]
#include "engine/History.h"
#include "engine/SimulatedClock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

using namespace vx;
using Clock = std::chrono::steady_clock;

namespace {

// LABEL 1, 1, ST+ 1, JUMP 1: four steps a round.
const std::vector<Step> countingLoop = {129, 1, 193, 1, 232, 1};

struct Rig {
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{1};
    Engine engine{clock, settings, random};
};

// Runs the counting loop fast for `steps` steps; the rate in steps per second.
double run(Rig& rig, std::uint64_t steps) {
    rig.engine.loadProgram(countingLoop);
    rig.engine.setTempo(Tempo::fast);
    rig.engine.press(KeyKind::startStop);
    const auto t0 = Clock::now();
    while (rig.engine.lastRun().steps < steps) rig.clock.runNext(rig.clock.nowNanos());
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    rig.engine.press(KeyKind::startStop);
    return static_cast<double>(rig.engine.lastRun().steps) / wall;
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000000ULL;
    Rig bare;
    const double without = run(bare, steps);
    Rig kept;
    History history(kept.engine);
    const double with = run(kept, steps);
    std::printf("fast tempo, %llu steps: %.2f million steps/s without the history, %.2f with it (%.2f)\n",
                static_cast<unsigned long long>(steps), without / 1e6, with / 1e6, with / without);
    std::printf("history after the run: %.1f MB, %llu steps in the timeline\n", history.bytes() / 1048576.0,
                static_cast<unsigned long long>(history.runSteps()));
    std::mt19937_64 rng(7);
    double longest = 0, total = 0;
    const int moves = 40;
    for (int i = 0; i < moves; ++i) {
        const std::uint64_t to = rng() % (history.runSteps() + 1);
        const auto t0 = Clock::now();
        history.moveTo(to);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        longest = std::max(longest, s);
        total += s;
        if (kept.engine.registers()[1].v !=
            static_cast<double>((to + 1) / 4)) { // ST+ is a round's third step
            std::fprintf(stderr, "history_bench: step %llu shows the wrong machine\n",
                         static_cast<unsigned long long>(to));
            return 1;
        }
    }
    std::printf("a move to any step: %.1f ms on average, %.1f ms at most (%d moves)\n", total / moves * 1e3,
                longest * 1e3, moves);

    Rig keys;
    History typed(keys.engine);
    const auto t0 = Clock::now();
    for (int i = 0; i < 100000; ++i) {
        keys.engine.press(i % 2 ? Key(KeyKind::plus) : Key::digit(i % 10));
        typed.canUndo(); // the window asks as its menu opens; here after every key
    }
    const double typing = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("100,000 keys: %.1f MB in %zu entries, %.1f µs a key with the history\n",
                typed.bytes() / 1048576.0, typed.entries(), typing / 100000 * 1e6);
    return 0;
}
