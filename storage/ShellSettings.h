// SPDX-License-Identifier: GPL-3.0-or-later
// What the window remembers between sessions, each choice under its key
// with its reading and its check in one place. The store is the host's
// (QSettings) or, in tests, one kept in memory. The machine keeps its own
// setting, the model, in the same store.
#pragma once

#include "engine/Engine.h"
#include "engine/Host.h"

#include <optional>
#include <string>
#include <utility>

namespace vx {

class ShellSettings {
  public:
    explicit ShellSettings(Settings& store) : store_(store) {}
    Settings& store() { return store_; }

    // The pace of a run: the original's unless "Schnell" was chosen.
    Tempo tempo() const;
    void setTempo(Tempo tempo);
    // "Dauerspeicher": the machine is kept from one session to the next. Off at first.
    bool keepMachine() const;
    void setKeepMachine(bool on);
    // The panel's size in percent: 50, 60 ... 150; anything else reads as 150.
    int zoomPercent() const;
    void setZoomPercent(int percent);
    // "Klang": the machine's sounds. On at first: the printer is the machine's voice.
    bool sound() const;
    void setSound(bool on);
    // "Lautstärke" in percent: 25, 50 or 100; anything else reads as 50.
    int soundVolume() const;
    void setSoundVolume(int percent);
    // The key help under the pointer. On at first.
    bool keyHelp() const;
    void setKeyHelp(bool on);
    // The windows' places and sizes as the toolkit records them; empty when none.
    std::string windowGeometry() const;
    void setWindowGeometry(const std::string& geometry);
    std::string sheetGeometry() const;
    void setSheetGeometry(const std::string& geometry);
    // Where an earlier version put the window (its frame's corner), if it did.
    std::optional<std::pair<int, int>> oldWindowPosition() const;

  private:
    Settings& store_;
};

} // namespace vx
