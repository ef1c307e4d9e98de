// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/History.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vx {

namespace {

// A printed line with its text, as the history counts its memory.
constexpr std::size_t lineBytes = sizeof(TapeLine) + 32;

bool sameKey(const History::Cause& cause, Key key) {
    return cause.kind == History::Cause::Kind::key && cause.key == key;
}

} // namespace

History::History(Engine& engine) : engine_(engine) {
    entries_.push_back(Entry{engine_.bareState(), liveRoll_, engine_.tape().printed(), Cause{}});
    listener_ = engine_.addListener([this](const MachineEvent& event) { heard(event); });
    engine_.sliceStarts_ = [this] { checkpoint(); };
    engine_.tornRoll_ = [this](Tape& roll) { keepTorn(roll); };
}

void History::name(std::string cause) {
    settleNow();
    pending_ = Cause{Cause::Kind::named, {}, SwitchId::power, std::move(cause)};
}

History::~History() {
    engine_.removeListener(listener_);
    engine_.sliceStarts_ = nullptr;
    engine_.tornRoll_ = nullptr;
}

void History::heard(const MachineEvent& event) {
    if (acting_) return;
    using K = MachineEvent::Kind;
    switch (event.kind) {
    case K::key:
        settleNow(); // the key before is done
        if (event.taken) pending_ = Cause{Cause::Kind::key, event.key, SwitchId::power, {}};
        break;
    case K::switched:
        settleNow();
        pending_ = Cause{Cause::Kind::switched, {}, event.which, {}};
        break;
    case K::tear: pending_ = Cause{Cause::Kind::tear, {}, SwitchId::power, {}}; break;
    case K::loading:
        // A program loaded from a menu, the clipboard or a file is an action
        // of its own: the shell names it once it is done (nameLast).
        settleNow();
        if (!pending_ || pending_->kind != Cause::Kind::named)
            pending_ = Cause{Cause::Kind::named, {}, SwitchId::power, {}};
        break;
    case K::runStarted:
        run_ = Run{};
        run_->roll = liveRoll_;
        marks_.clear();
        break;
    case K::line:
        if (run_ && !run_->ended && engine_.running()) {
            if (marks_.size() >= maxMarks) {
                // Full: every other mark goes, as the run's values do.
                std::vector<Mark> kept;
                for (std::size_t i = 0; i < marks_.size(); i += 2) kept.push_back(marks_[i]);
                marks_ = std::move(kept);
            }
            marks_.push_back(Mark{Mark::Kind::line, engine_.lastRun().steps});
        }
        break;
    case K::runEnded:
        if (run_ && !run_->ended) {
            run_->ended = true;
            run_->steps = engine_.lastRun().steps;
        }
        break;
    case K::changed:
        if (run_ && !run_->ended && event.changes.has(Part::run) && engine_.paused())
            marks_.push_back(Mark{Mark::Kind::pause, engine_.lastRun().steps});
        unsettled_ = !engine_.busy();
        break;
    case K::error: break;
    }
}

void History::settleNow() {
    if (!unsettled_ || acting_) return;
    unsettled_ = false;
    if (!engine_.busy()) settle();
}

// The machine came to rest: when an action changed it, its value is the
// history's next entry.
void History::settle() {
    MachineState now = engine_.bareState();
    const std::uint64_t printed = engine_.tape().printed();
    const Entry& was = current();
    // Nothing changed (yet): a single step, for one, changes the machine
    // only after its 0.7 s; the latest cause waits for the change it makes.
    if (now == was.state && printed == was.printed && liveRoll_ == was.roll) return;
    Entry entry{std::move(now), liveRoll_, printed, pending_.value_or(Cause{})};
    pending_.reset();
    push(std::move(entry));
    if (run_ && run_->ended && !run_->entry) {
        if (run_->checkpoints.empty())
            run_.reset(); // ended before its first step
        else
            run_->entry = currentId();
    }
}

void History::push(Entry entry) {
    dropRedo();
    entries_.push_back(std::move(entry));
    index_ = entries_.size() - 1;
    dropRedo();
    trim();
}

// A new action after an undo: what could be done again cannot any more.
void History::dropRedo() {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index_) + 1, entries_.end());
    if (run_ && run_->entry && *run_->entry > currentId()) {
        run_.reset();
        marks_.clear();
    }
    std::uint64_t newest = liveRoll_;
    std::uint64_t reach = engine_.tape().printed();
    for (const Entry& e : entries_) {
        newest = std::max(newest, e.roll);
        if (e.roll == liveRoll_) reach = std::max(reach, e.printed);
    }
    torn_.erase(torn_.upper_bound(newest), torn_.end());
    const std::uint64_t keep = reach - engine_.tape().printed();
    if (ahead_.size() > keep) ahead_.resize(static_cast<std::size_t>(keep));
}

void History::trim() {
    while (index_ > 0 && (entries_.size() > maxEntries || bytes() > budgetBytes)) {
        entries_.pop_front();
        --index_;
        ++base_;
        if (run_ && run_->entry && *run_->entry < base_) {
            run_.reset();
            marks_.clear();
        }
        torn_.erase(torn_.begin(), torn_.lower_bound(entries_.front().roll));
    }
}

bool History::canUndo() {
    settleNow();
    return index_ > 0 && !engine_.busy();
}

bool History::canRedo() {
    settleNow();
    return index_ + 1 < entries_.size() && !engine_.busy();
}

std::optional<History::Cause> History::undoCause() {
    settleNow();
    if (!canUndo()) return std::nullopt;
    return current().cause;
}

std::optional<History::Cause> History::redoCause() {
    settleNow();
    if (!canRedo()) return std::nullopt;
    return entries_[index_ + 1].cause;
}

bool History::undo() {
    settleNow();
    if (!canUndo()) return false;
    bring(index_ - 1);
    return true;
}

bool History::redo() {
    settleNow();
    if (!canRedo()) return false;
    bring(index_ + 1);
    return true;
}

void History::bring(std::size_t index) {
    acting_ = true;
    const Entry& entry = entries_[index];
    MachineState state = entry.state;
    state.paper.tape = rollAt(entry.roll, entry.printed);
    engine_.restore(std::move(state));
    index_ = index;
    pending_.reset();
    acting_ = false;
}

Tape History::rollAt(std::uint64_t roll, std::uint64_t printed) {
    Tape live = std::exchange(engine_.paper_.tape, Tape{});
    if (roll != liveRoll_) {
        // The live roll goes away whole, with its lines still to redo.
        for (TapeLine& line : ahead_) live.push(std::move(line));
        ahead_.clear();
        torn_[liveRoll_] = std::move(live);
        live = Tape{};
        if (const auto found = torn_.find(roll); found != torn_.end()) {
            live = std::move(found->second);
            torn_.erase(found);
        }
        liveRoll_ = roll;
    }
    if (live.printed() > printed) {
        std::vector<TapeLine> taken = live.cut(printed);
        ahead_.insert(ahead_.begin(), std::make_move_iterator(taken.begin()),
                      std::make_move_iterator(taken.end()));
    }
    while (live.printed() < printed && !ahead_.empty()) {
        live.push(std::move(ahead_.front()));
        ahead_.pop_front();
    }
    return live;
}

void History::keepTorn(Tape& roll) {
    settleNow(); // the action before the tear is done, its lines still on the roll
    Tape kept = std::exchange(roll, Tape{});
    for (TapeLine& line : ahead_) kept.push(std::move(line));
    ahead_.clear();
    torn_[liveRoll_] = std::move(kept);
    ++liveRoll_;
    // A run torn off in the middle can no longer be replayed.
    if (run_ && !run_->ended) {
        run_.reset();
        marks_.clear();
    }
}

void History::checkpoint() {
    if (!run_ || run_->ended) return;
    auto& taken = run_->checkpoints;
    const std::uint64_t steps = engine_.lastRun().steps;
    if (!taken.empty() && steps - taken.back().state.record.runSteps < run_->interval) return;
    taken.push_back(Checkpoint{engine_.bareState(), engine_.tape().printed()});
    if (taken.size() > maxCheckpoints) {
        std::vector<Checkpoint> kept;
        for (std::size_t i = 0; i < taken.size(); i += 2) kept.push_back(std::move(taken[i]));
        taken = std::move(kept);
        run_->interval *= 2;
    }
}

bool History::timeline() const {
    if (!run_ || !run_->entry || engine_.busy()) return false;
    const std::uint64_t id = currentId();
    return id == *run_->entry || (current().place && id == *run_->entry + 1);
}

bool History::hasRun() {
    settleNow();
    return timeline();
}

std::uint64_t History::position() {
    settleNow();
    return place();
}

std::uint64_t History::place() const {
    return timeline() ? current().state.record.runSteps : 0;
}

bool History::moveTo(std::uint64_t step) {
    settleNow();
    if (!timeline()) return false;
    step = std::min(step, run_->steps);
    const auto& taken = run_->checkpoints;
    // Lines the roll let go at its far end (a run that printed more than a
    // roll holds) cannot be printed again in their place: the run is
    // reachable from the first value whose lines are all still there.
    const std::uint64_t gone = run_->roll == liveRoll_ ? engine_.tape().dropped() : 0;
    auto first = taken.begin();
    while (std::next(first) != taken.end() && first->printed < gone) ++first;
    if (first->printed < gone) return false;
    step = std::max(step, first->state.record.runSteps);
    const auto after = std::upper_bound(first, taken.end(), step, [](std::uint64_t s, const Checkpoint& c) {
        return s < c.state.record.runSteps;
    });
    const Checkpoint& from = *std::prev(after);
    acting_ = true;
    MachineState state = from.state;
    state.paper.tape = rollAt(run_->roll, from.printed);
    engine_.restore(std::move(state));
    const std::uint64_t before = engine_.tape().printed();
    engine_.replayTo(step);
    // The lines printed again are the ones held for later.
    const std::uint64_t again = engine_.tape().printed() - before;
    ahead_.erase(ahead_.begin(),
                 ahead_.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(again, ahead_.size())));
    Entry place{engine_.bareState(), liveRoll_, engine_.tape().printed(),
                Cause{Cause::Kind::place, {}, {}, {}}, true};
    const Entry& end = entries_[static_cast<std::size_t>(*run_->entry - base_)];
    const bool atEnd = place.state == end.state && place.printed == end.printed && place.roll == end.roll;
    if (current().place) {
        if (atEnd) {
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index_));
            --index_;
        } else {
            entries_[index_] = std::move(place);
        }
        dropRedo();
    } else if (!atEnd) {
        push(std::move(place));
    }
    engine_.bump();
    acting_ = false;
    return true;
}

bool History::singleStepBack() const {
    return engine_.mode() == Mode::step && index_ > 0 && !engine_.busy() &&
           sameKey(current().cause, Key(KeyKind::startStop));
}

bool History::singleStepForward() const {
    return engine_.mode() == Mode::step && index_ + 1 < entries_.size() && !engine_.busy() &&
           sameKey(entries_[index_ + 1].cause, Key(KeyKind::startStop));
}

bool History::canGoBack() {
    settleNow();
    return (timeline() && place() > 0) || singleStepBack();
}

bool History::canGoForward() {
    settleNow();
    return (timeline() && place() < run_->steps) || singleStepForward();
}

bool History::back() {
    settleNow();
    if (timeline() && place() > 0) return moveTo(place() - 1);
    return singleStepBack() && undo();
}

bool History::forward() {
    settleNow();
    if (timeline() && place() < run_->steps) return moveTo(place() + 1);
    return singleStepForward() && redo();
}

std::size_t History::entryBytes() const {
    return sizeof(Entry) + Codes::steps * (sizeof(Step) + sizeof(ProgramMemory::Marks)) + 44 * sizeof(Num);
}

std::size_t History::bytes() const {
    std::size_t lines = ahead_.size();
    for (const auto& roll : torn_) lines += roll.second.size();
    const std::size_t checkpoints = run_ ? run_->checkpoints.size() : 0;
    return (entries_.size() + checkpoints) * entryBytes() + lines * lineBytes +
           marks_.capacity() * sizeof(Mark);
}

} // namespace vx
