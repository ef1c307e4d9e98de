// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesized sounds: the same every time, within their time, never
// clipping, and each recognisably its own.
#include "panel/Sounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

using namespace vx;

namespace {
struct Look {
    double peak = 0, rms = 0, crossings = 0; // crossings: zero crossings a second, a rough pitch
};
Look look(const Sounds::Samples& s) {
    Look l;
    for (std::size_t i = 0; i < s.size(); ++i) {
        l.peak = std::max(l.peak, static_cast<double>(std::fabs(s[i])));
        l.rms += static_cast<double>(s[i]) * s[i];
        if (i > 0 && (s[i - 1] < 0) != (s[i] < 0)) ++l.crossings;
    }
    l.rms = std::sqrt(l.rms / static_cast<double>(s.size()));
    l.crossings /= Sounds::seconds(s);
    return l;
}
// The share of the energy below about 1 kHz.
double lowShare(const Sounds::Samples& s) {
    double low = 0, all = 0, y = 0;
    for (const float x : s) {
        y += 0.12 * (x - y);
        low += y * y;
        all += static_cast<double>(x) * x;
    }
    return low / all;
}
double energy(const Sounds::Samples& s, double from, double to) {
    double sum = 0;
    for (auto i = static_cast<std::size_t>(from * Sounds::rate);
         i < static_cast<std::size_t>(to * Sounds::rate); ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return sum;
}
} // namespace

TEST(Sounds, EachIsTheSameEveryTimeWithinItsTimeAndNeverClips) {
    const std::map<std::string, std::pair<Sounds::Samples (*)(), double>> sounds = {
        {"key", {[] { return Sounds::keyClick(false); }, 0.1}},
        {"START STOP", {[] { return Sounds::keyClick(true); }, 0.1}},
        {"line of 7", {[] { return Sounds::printerLine(7, 0.5); }, 0.5}},
        {"ADV", {[] { return Sounds::printerLine(0, 0.5); }, 0.5}},
        {"tear", {&Sounds::tear, 0.3}},
        {"switch", {[] { return Sounds::slideSwitch(false); }, 0.15}},
        {"power", {[] { return Sounds::slideSwitch(true); }, 0.15}},
    };
    std::map<std::string, Look> looks;
    for (const auto& [name, sound] : sounds) {
        const Sounds::Samples once = sound.first();
        EXPECT_EQ(sound.first(), once) << name;
        EXPECT_LE(Sounds::seconds(once), sound.second) << name;
        const Look l = look(once);
        EXPECT_LE(l.peak, 0.81) << name << ": room below full scale at any volume";
        EXPECT_GT(l.rms, 0.005) << name << ": heard at all";
        looks[name] = l;
    }
    // Told apart: by their pitch, their loudness or their length.
    for (const auto& [a, la] : looks) {
        for (const auto& [b, lb] : looks) {
            if (a >= b) continue;
            EXPECT_TRUE(std::fabs(la.crossings - lb.crossings) > 0.1 * std::max(la.crossings, lb.crossings) ||
                        std::fabs(la.rms - lb.rms) > 0.1 * std::max(la.rms, lb.rms) ||
                        sounds.at(a).first().size() != sounds.at(b).first().size())
                << a << " and " << b;
        }
    }
    EXPECT_GT(lowShare(Sounds::keyClick(true)), lowShare(Sounds::keyClick(false)))
        << "the big key sounds lower";
    EXPECT_GT(lowShare(Sounds::slideSwitch(true)), lowShare(Sounds::slideSwitch(false)));
}

TEST(Sounds, ThePrinterStrikesItsCharactersThenMovesThePaperInTheLinesTime) {
    const Sounds::Samples full = Sounds::printerLine(18, 0.5), one = Sounds::printerLine(1, 0.5),
                          adv = Sounds::printerLine(0, 0.5);
    // The hammers sound in the first half, more of them louder; ADV only moves the paper.
    EXPECT_GT(energy(full, 0, 0.22), 4 * energy(one, 0, 0.22));
    EXPECT_LT(energy(adv, 0, 0.2), 0.05 * energy(full, 0, 0.2));
    EXPECT_GT(energy(adv, 0.25, 0.4), 0);
    // In the fast tempo the printer takes no time, and makes no sound.
    EXPECT_TRUE(Sounds::printerLine(7, 0).empty());
    EXPECT_LE(Sounds::seconds(Sounds::printerLine(7, 0.2)), 0.2);
}
