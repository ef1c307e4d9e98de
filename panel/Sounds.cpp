// SPDX-License-Identifier: GPL-3.0-or-later
// Each sound is built from two things a mechanism makes: a short burst of
// noise where parts strike (shaped by a quick attack and an exponential
// decay) and the ring of a small resonant body excited by it (a damped
// sine). Sums of these, placed in time, make clicks, strikes and the
// paper's move; a slow low rumble under the move is the motor.
#include "panel/Sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vx::Sounds {

namespace {

// A small deterministic noise source: the same seed, the same sound.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f;
    }

  private:
    std::uint32_t state_;
};

Samples silence(double secondsLong) {
    return Samples(static_cast<std::size_t>(std::lround(secondsLong * rate)), 0.0f);
}

// A strike at `at` seconds: noise through a one-pole high-pass (the sharp
// contact) plus a damped ring at `ring` Hz (the part that was hit).
void strike(Samples& out, double at, double loud, double ring, double decay, Noise& noise) {
    const auto start = static_cast<std::size_t>(std::lround(at * rate));
    const auto length = static_cast<std::size_t>(decay * 6 * rate);
    float previous = 0, filtered = 0;
    for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope = std::min(1.0, t / 0.0004) * std::exp(-t / decay);
        const float n = noise.next();
        filtered = 0.85f * (filtered + n - previous);
        previous = n;
        const double body = std::sin(2 * std::numbers::pi * ring * t) * std::exp(-t / (decay * 1.6));
        out[start + i] += static_cast<float>(loud * envelope * (0.6 * filtered + 0.5 * body));
    }
}

// The paper moving on by a line: a motor's low hum rising and falling, with
// the feed's ratchet ticking in it.
void feed(Samples& out, double at, double length, Noise& noise) {
    const auto start = static_cast<std::size_t>(std::lround(at * rate));
    const auto count = static_cast<std::size_t>(length * rate);
    float low = 0;
    for (std::size_t i = 0; i < count && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope = std::sin(std::numbers::pi * t / length);
        low += 0.02f * (noise.next() - low);
        const double hum =
            std::sin(2 * std::numbers::pi * 95 * t) + 0.4 * std::sin(2 * std::numbers::pi * 190 * t);
        // Softer than the hammers: the paper's move is the line's quiet end.
        out[start + i] += static_cast<float>(envelope * (0.05 * hum + 0.6 * low));
    }
    for (int tick = 0; tick < 4; ++tick)
        strike(out, at + length * (0.15 + 0.2 * tick), 0.08, 1900, 0.0015, noise);
}

// Peaks to at most `peak` of full scale.
Samples limited(Samples s, float peak = 0.8f) {
    float most = 0;
    for (const float v : s) most = std::max(most, std::fabs(v));
    if (most > peak)
        for (float& v : s) v *= peak / most;
    return s;
}

} // namespace

Samples keyClick(bool heavy) {
    Noise noise(heavy ? 11u : 7u);
    Samples out = silence(0.09);
    const double ring = heavy ? 1300 : 2200;
    strike(out, 0.0, heavy ? 0.9 : 0.7, ring, heavy ? 0.004 : 0.0025, noise);
    strike(out, 0.055, heavy ? 0.45 : 0.35, ring * 1.15, 0.002, noise);
    return limited(std::move(out));
}

Samples printerLine(int characters, double busySeconds) {
    if (busySeconds <= 0) return {};
    Noise noise(23u + static_cast<std::uint32_t>(characters));
    const double length = std::min(busySeconds, 0.45);
    Samples out = silence(length);
    // The hammers cross the 18 columns in the first half of the line's time;
    // the paper moves in the rest.
    const double sweep = length * 0.5;
    for (int c = 0; c < characters; ++c) {
        const double at = 0.01 + sweep * (c + 0.5) / 18.0;
        strike(out, at, 0.55 + 0.1 * noise.next(), 3100 + 400 * noise.next(), 0.0018, noise);
    }
    feed(out, sweep + 0.02, length - sweep - 0.03, noise);
    return limited(std::move(out));
}

Samples tear() {
    Noise noise(31u);
    const double length = 0.28;
    Samples out = silence(length);
    // Fibres parting one after another: crackles thickening, then thinning.
    for (int i = 0; i < 70; ++i) {
        const double at = length * (0.05 + 0.85 * (i + 0.5 + 0.4 * noise.next()) / 70.0);
        const double loud = 0.25 + 0.2 * std::sin(std::numbers::pi * at / length);
        strike(out, at, loud, 5200 + 1500 * noise.next(), 0.0012, noise);
    }
    return limited(std::move(out), 0.7f);
}

Samples slideSwitch(bool power) {
    Noise noise(power ? 43u : 41u);
    const double length = power ? 0.12 : 0.08;
    Samples out = silence(length);
    // The slider grazes its track, then drops into the notch.
    for (int i = 0; i < 6; ++i) strike(out, 0.004 * i, 0.08, 4000, 0.001, noise);
    strike(out, power ? 0.04 : 0.028, power ? 0.9 : 0.6, power ? 900 : 1600, power ? 0.006 : 0.003, noise);
    return limited(std::move(out));
}

} // namespace vx::Sounds
