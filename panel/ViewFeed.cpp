// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/ViewFeed.h"

#include "engine/Engine.h"

#include <algorithm>

namespace vx {

ViewFeed::ViewFeed(Engine& engine, Scheduler& frames) : engine_(engine), frames_(frames) {
    listener_ = engine_.addListener([this](const MachineEvent& event) { told(event); });
}

ViewFeed::~ViewFeed() {
    engine_.removeListener(listener_);
    for (const Follower& f : followers_)
        if (f.due) frames_.cancel(f.due);
}

int ViewFeed::follow(unsigned parts, double perSecond, Runs runs, Show show) {
    Follower f;
    f.id = ++lastId_;
    f.parts = parts;
    f.interval = perSecond > 0 ? 1.0 / perSecond : 0;
    f.runs = runs;
    f.show = std::move(show);
    followers_.push_back(std::move(f));
    return lastId_;
}

int ViewFeed::hear(std::function<void(const MachineEvent&)> hear) {
    hearers_.emplace_back(++lastId_, std::move(hear));
    return lastId_;
}

void ViewFeed::stop(int id) {
    if (Follower* f = find(id); f && f->due) frames_.cancel(f->due);
    std::erase_if(followers_, [id](const Follower& f) { return f.id == id; });
    std::erase_if(hearers_, [id](const auto& h) { return h.first == id; });
}

Changes ViewFeed::everything() const {
    Changes all;
    all.parts = allParts;
    all.shown = engine_.shown();
    return all;
}

ViewFeed::Follower* ViewFeed::find(int id) {
    const auto it =
        std::find_if(followers_.begin(), followers_.end(), [id](const Follower& f) { return f.id == id; });
    return it == followers_.end() ? nullptr : &*it;
}

void ViewFeed::told(const MachineEvent& event) {
    for (const auto& hearer : hearers_) hearer.second(event);
    if (event.kind != MachineEvent::Kind::changed) return;
    const Changes& c = event.changes;
    const bool running = engine_.running();
    const bool fast = engine_.tempo() == Tempo::fast;
    // By id: a view told of a change may follow or stop meanwhile.
    std::vector<int> ids;
    for (const Follower& f : followers_) ids.push_back(f.id);
    for (const int id : ids) {
        Follower* f = find(id);
        if (!f || (c.parts & f->parts) == 0) continue;
        f->pending.merge(c);
        const double since = frames_.now() - f->last;
        const bool held = running && (fast || f->runs == Runs::all);
        if (!held || since >= f->interval) {
            deliver(id);
        } else if (!f->due) {
            f->due = frames_.after(f->interval - since, [this, id] {
                if (Follower* due = find(id)) due->due = 0;
                deliver(id);
            });
        }
    }
}

void ViewFeed::deliver(int id) {
    Follower* f = find(id);
    if (!f || !f->pending.any()) return;
    if (f->due) {
        frames_.cancel(f->due);
        f->due = 0;
    }
    f->last = frames_.now();
    const Changes changes = std::exchange(f->pending, Changes{});
    const Show show = f->show; // the view may stop following while it is shown
    show(changes);
}

} // namespace vx
