// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's voice: turns what the machine tells (a key, a printed line,
// a tear, a switch) into its sound and hands it to the output, at once, so
// that each sound starts with what it belongs to. In the fast tempo the
// keys and the printer are silent: the pace is no longer the machine's.
#pragma once

#include "engine/Events.h"
#include "panel/Sounds.h"

#include <array>
#include <functional>
#include <optional>

namespace vx {

class Engine;
class ViewFeed;

class SoundPlayer {
  public:
    SoundPlayer(ViewFeed& feed, const Engine& engine);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Where the sounds go: the samples and their gain (0 ... 1); and how to
    // stop what still plays. Without them nothing is heard.
    std::function<void(const Sounds::Samples&, float)> play;
    std::function<void()> silence;

    // "Klang": off also silences a printer still running.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // "Lautstärke" in percent.
    void setVolume(int percent) { volume_ = percent; }
    int volume() const { return volume_; }
    // How many sounds were started (for tests: what would have been heard).
    int started() const { return started_; }

  private:
    void heard(const MachineEvent& event);
    void start(const Sounds::Samples& samples);
    const Sounds::Samples& line(int characters, double busy);

    ViewFeed& feed_;
    const Engine& engine_;
    int hearer_ = 0;
    bool enabled_ = true;
    int volume_ = 50;
    int started_ = 0;
    // Made once, when first needed.
    std::optional<Sounds::Samples> key_, bigKey_, tear_, switch_, power_;
    std::array<std::optional<Sounds::Samples>, 20> lines_;
    double linesBusy_ = 0;
};

} // namespace vx
