// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's sound in the real window: how soon a key's click is due at
// the speaker, and the process's CPU while a program prints at the
// original's pace with the sound on. Run by bench/window_sound.sh, which
// starts Xvfb and a private sound server.
//   window_sound [seconds]

#include "host/SoundOutput.h"
#include "panel/SoundPlayer.h"
#include "window_rig.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace vx;
using namespace vx::bench;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    SoundOutput speaker;
    WindowRig rig;
    rig.window.sound().play = [&speaker](const Sounds::Samples& s, float gain) { speaker.play(s, gain); };
    if (!rig.show(app)) {
        std::fprintf(stderr, "window_sound: the window did not appear\n");
        return 1;
    }
    runFor(1);
    if (!speaker.connected()) {
        std::fprintf(stderr, "window_sound: no sound server\n");
        return 1;
    }
    // Keys 0.3 s apart, each after silence: from the key to its click at the speaker.
    std::vector<double> latencies;
    for (int i = 0; i < 30; ++i) {
        rig.engine.press(Key::digit(i % 10));
        runFor(0.3);
        latencies.push_back(speaker.lastStartLatency() * 1000);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("key to click at the speaker: median %.1f ms, longest %.1f ms (30 keys)\n", latencies[15],
                latencies.back());

    // LABEL 1, PRINT, JUMP 1: a line every half second, each with its sound.
    rig.engine.loadProgram({129, 28, 232, 1});
    rig.engine.press(KeyKind::startStop);
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    runFor(seconds);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("printing at the original's pace with sound: %zu lines, CPU %.1f %% of one core\n",
                static_cast<std::size_t>(rig.engine.tape().printed()), (cpuSeconds() - cpu0) / wall * 100);
    return 0;
}
