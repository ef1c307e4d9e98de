// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's sounds, made here from a few numbers each: no recording of
// any machine is used. Every sound is the same samples every time (its
// noise comes from a fixed seed), mono at 48 kHz, with peaks below full
// scale so that no volume clips them.
#pragma once

#include <cstdint>
#include <vector>

namespace vx::Sounds {

inline constexpr int rate = 48000;
using Samples = std::vector<float>;

// A key going down and, a moment later, coming up; START STOP is the big
// key and sounds a little heavier.
Samples keyClick(bool heavy);
// The printer with one line: a hammer strike for each printed character
// across the line, then the paper moving on by a line. It fills at most
// `busySeconds`, the time the printer takes for the line; an empty line
// (ADV) is the paper's move alone.
Samples printerLine(int characters, double busySeconds);
// The paper torn off against the cutting edge.
Samples tear();
// A slide switch moved into its next notch; the power switch is stiffer.
Samples slideSwitch(bool power);

// Seconds a sound lasts.
inline double seconds(const Samples& s) {
    return static_cast<double>(s.size()) / rate;
}

} // namespace vx::Sounds
