// SPDX-License-Identifier: GPL-3.0-or-later
// Every view of the machine is fed from here: the panel's parts, the
// program sheet, the window's menus. Each follows the parts it shows, at
// once while no program runs and at most so many times a second while one
// does, so that drawing never holds up a fast run; the machine's doings
// (keys, printed lines) are passed on as they come.
#pragma once

#include "engine/Events.h"
#include "engine/Host.h"

#include <functional>
#include <vector>

namespace vx {

class Engine;

class ViewFeed {
  public:
    // `frames` times the deliveries a running machine waits for.
    ViewFeed(Engine& engine, Scheduler& frames);
    ~ViewFeed();
    ViewFeed(const ViewFeed&) = delete;
    ViewFeed& operator=(const ViewFeed&) = delete;

    using Show = std::function<void(const Changes&)>;
    // Which runs a follower is shown less often: only those in the fast
    // tempo (the original's pace is slow enough to show every change as it
    // happens, in time with the printer), or every run.
    enum class Runs { fast, all };
    // Told of changes to `parts` (a mask of `Part`s), during such a run at
    // most `perSecond` times a second with everything changed since.
    int follow(unsigned parts, double perSecond, Runs runs, Show show);
    // Told of every event as it happens.
    int hear(std::function<void(const MachineEvent&)> hear);
    void stop(int id);
    // Every part, for a view that shows the machine afresh (no register is
    // marked as just changed).
    Changes everything() const;

  private:
    struct Follower {
        int id = 0;
        unsigned parts = 0;
        double interval = 0;
        Runs runs = Runs::fast;
        Show show;
        Changes pending;
        double last = -1e9;
        Scheduler::Handle due = 0;
    };
    void told(const MachineEvent& event);
    void deliver(int id);
    Follower* find(int id);

    Engine& engine_;
    Scheduler& frames_;
    int listener_ = 0;
    int lastId_ = 0;
    std::vector<Follower> followers_;
    std::vector<std::pair<int, std::function<void(const MachineEvent&)>>> hearers_;
};

} // namespace vx
