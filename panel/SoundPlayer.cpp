// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/SoundPlayer.h"

#include "engine/Engine.h"
#include "panel/ViewFeed.h"

#include <algorithm>

namespace vx {

namespace {
const Sounds::Samples& made(std::optional<Sounds::Samples>& slot,
                            const std::function<Sounds::Samples()>& make) {
    if (!slot) slot = make();
    return *slot;
}
} // namespace

SoundPlayer::SoundPlayer(ViewFeed& feed, const Engine& engine) : feed_(feed), engine_(engine) {
    hearer_ = feed_.hear([this](const MachineEvent& event) { heard(event); });
}

SoundPlayer::~SoundPlayer() {
    feed_.stop(hearer_);
}

void SoundPlayer::setEnabled(bool on) {
    enabled_ = on;
    if (!on && silence) silence();
}

const Sounds::Samples& SoundPlayer::line(int characters, double busy) {
    if (busy != linesBusy_) {
        lines_ = {};
        linesBusy_ = busy;
    }
    const auto at = static_cast<std::size_t>(std::clamp(characters, 0, static_cast<int>(lines_.size()) - 1));
    return made(lines_[at], [characters, busy] { return Sounds::printerLine(characters, busy); });
}

void SoundPlayer::heard(const MachineEvent& event) {
    if (!enabled_) return;
    const bool fast = engine_.tempo() == Tempo::fast;
    using K = MachineEvent::Kind;
    switch (event.kind) {
    case K::key:
        if (fast) return;
        if (event.key.kind == KeyKind::startStop)
            start(made(bigKey_, [] { return Sounds::keyClick(true); }));
        else
            start(made(key_, [] { return Sounds::keyClick(false); }));
        return;
    case K::line:
        // The fast tempo's printer takes no time and so makes no sound.
        if (event.busy > 0) start(line(event.characters, event.busy));
        return;
    case K::tear: start(made(tear_, &Sounds::tear)); return;
    case K::switched:
        if (event.which == SwitchId::power)
            start(made(power_, [] { return Sounds::slideSwitch(true); }));
        else if (event.which != SwitchId::model)
            start(made(switch_, [] { return Sounds::slideSwitch(false); }));
        return;
    default: return;
    }
}

void SoundPlayer::start(const Sounds::Samples& samples) {
    if (samples.empty()) return;
    ++started_;
    if (play) play(samples, static_cast<float>(volume_) / 100.0f);
}

} // namespace vx
