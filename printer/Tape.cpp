// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/Tape.h"

#include <algorithm>

namespace vx {

Tape::Tape(std::vector<TapeLine> lines) {
    for (TapeLine& line : lines) push(std::move(line));
}

void Tape::push(TapeLine line) {
    lines_.push_back(std::move(line));
    if (lines_.size() > bound) {
        lines_.pop_front();
        ++dropped_;
    }
}

void Tape::clear() {
    // A deque keeps its blocks after clear(); a torn-off million lines
    // should give their memory back.
    Lines().swap(lines_);
    dropped_ = 0;
}

std::vector<TapeLine> Tape::cut(std::uint64_t count) {
    std::vector<TapeLine> taken;
    while (!lines_.empty() && printed() > count) {
        taken.push_back(std::move(lines_.back()));
        lines_.pop_back();
    }
    std::reverse(taken.begin(), taken.end());
    return taken;
}

} // namespace vx
