// SPDX-License-Identifier: GPL-3.0-or-later
// The paper roll: the printed lines, oldest first. A roll holds at most
// `bound` lines; beyond that the oldest go as if torn off, so that an endless
// printing loop in the fast tempo cannot fill the computer's memory. The
// roll remembers how many lines it let go that way until the next tear.
#pragma once

#include "printer/TapeLine.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace vx {

class Tape {
  public:
    // The same bound as the batch mode's kept tape and the kept machine's.
    static constexpr std::size_t bound = 1000000;
    using Lines = std::deque<TapeLine>;

    Tape() = default;
    // A roll holding `lines` (the newest `bound` of them).
    Tape(std::vector<TapeLine> lines); // NOLINT(google-explicit-constructor): a roll is its lines

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const TapeLine& operator[](std::size_t i) const { return lines_[i]; }
    const TapeLine& back() const { return lines_.back(); }
    Lines::const_iterator begin() const { return lines_.begin(); }
    Lines::const_iterator end() const { return lines_.end(); }

    // Adds a line at the print head; the oldest goes when the roll is full.
    void push(TapeLine line);
    // Forgets every line; nothing counts as dropped any more.
    void clear();
    // Takes the newest lines off again until `printed()` is `count` (or the
    // roll holds none): the lines taken, oldest first.
    std::vector<TapeLine> cut(std::uint64_t count);
    // Lines let go at the far end since the roll was last cleared.
    std::uint64_t dropped() const { return dropped_; }
    // Lines printed onto this roll since it was last cleared: the held ones
    // and the dropped ones. Line n of them (from 0) is `(*this)[n - dropped()]`
    // while it is held.
    std::uint64_t printed() const { return dropped_ + lines_.size(); }

    // The same lines; how many were dropped before does not matter.
    bool operator==(const Tape& other) const { return lines_ == other.lines_; }

  private:
    Lines lines_;
    std::uint64_t dropped_ = 0;
};

} // namespace vx
