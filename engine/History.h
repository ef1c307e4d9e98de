// SPDX-License-Identifier: GPL-3.0-or-later
// Going back in time. Every action that changed the machine while nothing
// ran can be taken back and done again, one at a time, and the last run can
// be walked back and forth step by step or all at once.
//
// The machine is one plain value and it is deterministic, so the history
// keeps the value after each action (without the tape's lines, which only
// grow between tears: a count says how far the tape reached), and for the
// last run a few of its values along the way, from which any step is
// replayed exactly. Lines taken back wait in `ahead_` for a redo; a torn-off
// roll is kept whole. All of it stays within `budgetBytes`.
#pragma once

#include "engine/Engine.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class History {
  public:
    // What led to an entry, for the menus' words ("Rückgängig: Abreißen").
    struct Cause {
        enum class Kind { key, switched, tear, named, place } kind = Kind::named;
        Key key{};
        SwitchId which = SwitchId::power;
        std::string name; // with `named`: said by the host; empty: a change by other means
        // `place`: a move to another step of the last run
    };
    // A place on the last run's timeline.
    struct Mark {
        enum class Kind { line, pause } kind = Kind::line;
        std::uint64_t step = 0;
    };

    // Entries, kept values of runs and lines held for redo together stay
    // below this; the oldest entries go first.
    static constexpr std::size_t budgetBytes = 64u << 20;
    static constexpr std::size_t maxEntries = 4000;
    // A run keeps at most this many values along its way; when they are
    // full, every other one goes and the distance between them doubles.
    static constexpr std::size_t maxCheckpoints = 256;
    static constexpr std::size_t maxMarks = 4096;

    explicit History(Engine& engine);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Names the next action; keys, switches and tears name themselves.
    void name(std::string cause);
    // Names the action just done (a program loaded), as long as its entry
    // is still to be taken; an action that changed nothing names nothing.
    void nameLast(std::string cause) {
        if (unsettled_ && pending_ && pending_->kind == Cause::Kind::named && pending_->name.empty())
            pending_->name = std::move(cause);
    }

    bool canUndo();
    bool canRedo();
    std::optional<Cause> undoCause();
    std::optional<Cause> redoCause();
    bool undo();
    bool redo();

    // The last run, while the machine stands at its end or somewhere in it.
    bool hasRun();
    std::uint64_t runSteps() {
        settleNow();
        return run_ ? run_->steps : 0;
    }
    std::uint64_t position();
    const std::vector<Mark>& marks() {
        settleNow();
        return marks_;
    }
    // Back and forth one program step: in the last run, or in STEP mode over
    // the single steps.
    bool canGoBack();
    bool canGoForward();
    bool back();
    bool forward();
    // The machine as it was after `step` steps of the last run.
    bool moveTo(std::uint64_t step);

    // What the history holds now, in bytes (an estimate from the sizes of its parts).
    std::size_t bytes() const;
    std::size_t entries() {
        settleNow();
        return entries_.size();
    }

  private:
    struct Entry {
        MachineState state; // without the tape's lines
        std::uint64_t roll = 0;
        std::uint64_t printed = 0;
        Cause cause;
        bool place = false; // a place in the last run, not an action
    };
    struct Checkpoint {
        MachineState state;
        std::uint64_t printed = 0;
    };
    struct Run {
        std::optional<std::uint64_t> entry; // the entry after it, once settled
        std::vector<Checkpoint> checkpoints;
        std::uint64_t interval = 1024;
        std::uint64_t steps = 0;
        std::uint64_t roll = 0;
        bool ended = false;
    };

    void heard(const MachineEvent& event);
    // An action may tell several changes before it is done (a single step
    // prints, then moves on): its entry is taken when the next action
    // begins or the history is asked, whichever comes first.
    void settleNow();
    void settle();
    void push(Entry entry);
    void dropRedo();
    void trim();
    std::uint64_t currentId() const { return base_ + index_; }
    const Entry& current() const { return entries_[index_]; }
    bool timeline() const;
    bool singleStepBack() const;
    bool singleStepForward() const;
    std::uint64_t place() const;
    // Puts the machine at an entry's value, its tape where it was.
    void bring(std::size_t index);
    // The live roll as it was with `printed` lines on roll `roll`.
    Tape rollAt(std::uint64_t roll, std::uint64_t printed);
    void checkpoint();
    void keepTorn(Tape& roll);
    std::size_t entryBytes() const;

    Engine& engine_;
    int listener_ = 0;
    std::deque<Entry> entries_;
    std::size_t index_ = 0;
    std::uint64_t base_ = 0; // entries dropped at the front
    std::optional<Cause> pending_;
    bool acting_ = false;
    bool unsettled_ = false;

    std::uint64_t liveRoll_ = 0;
    std::map<std::uint64_t, Tape> torn_;
    std::deque<TapeLine> ahead_;

    std::optional<Run> run_;
    std::vector<Mark> marks_;
};

} // namespace vx
