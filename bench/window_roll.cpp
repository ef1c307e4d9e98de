// SPDX-License-Identifier: GPL-3.0-or-later
// An endless printing loop in the fast tempo in the real window: the paper
// roll keeps its newest lines, so the process's memory levels off however
// long the loop prints, and the window stays responsive. Prints the peak
// resident memory, the longest wait of the event loop and the roll's
// counts. Run by bench/window_roll.sh, which starts Xvfb.
//   window_roll [seconds]
#include "window_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace vx;
using namespace vx::bench;

namespace {

// LABEL 1, 1, ST+ 1, RCL 1, PRINT, JUMP 1: one printed line a round.
const std::vector<Step> printingLoop = {129, 1, 193, 1, 200, 1, 28, 232, 1};

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    WindowRig rig;
    Engine& engine = rig.engine;
    if (!rig.show(app)) {
        std::fprintf(stderr, "window_roll: the window did not appear\n");
        return 1;
    }
    engine.loadProgram(printingLoop);
    engine.setTempo(Tempo::fast);
    engine.press(KeyKind::startStop);
    GapProbe probe(engine);
    // A line of figures every minute, so that the levelling off can be seen.
    for (double done = 0; done < seconds; done += 60) {
        runFor(std::min(60.0, seconds - done));
        std::printf("%4.0f s: %llu lines printed, %zu on the roll, peak %ld MB, longest wait %lld ms\n",
                    std::min(done + 60, seconds), static_cast<unsigned long long>(engine.tape().printed()),
                    engine.tape().size(), peakKilobytes() / 1024, static_cast<long long>(probe.longest));
        std::fflush(stdout);
    }
    engine.press(KeyKind::startStop);
    return 0;
}
