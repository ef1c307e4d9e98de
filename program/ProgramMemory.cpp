// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/ProgramMemory.h"

#include <algorithm>

namespace vx {

std::vector<Step> ProgramMemory::steps() const {
    auto end = codes_.end();
    while (end != codes_.begin() && !*(end - 1)) --end;
    return {codes_.begin(), end};
}

bool ProgramMemory::anyFrom(int step) const {
    return std::any_of(codes_.begin() +
                           static_cast<std::ptrdiff_t>(std::clamp(step, 1, Codes::steps + 1) - 1),
                       codes_.end(), [](const Step& s) { return s.has_value(); });
}

void ProgramMemory::clearBreakpoints() {
    for (Marks& m : marks_) m.breakpoint = false;
}

void ProgramMemory::resetCounts() {
    for (Marks& m : marks_) m.count = 0;
}

std::vector<std::uint64_t> ProgramMemory::counts() const {
    std::vector<std::uint64_t> all(marks_.size());
    std::transform(marks_.begin(), marks_.end(), all.begin(), [](const Marks& m) { return m.count; });
    return all;
}

void ProgramMemory::insert(int step) {
    if (!inside(step)) return;
    codes_.insert(codes_.begin() + static_cast<std::ptrdiff_t>(index(step)), Step{});
    marks_.insert(marks_.begin() + static_cast<std::ptrdiff_t>(index(step)), Marks{});
    codes_.pop_back();
    marks_.pop_back();
}

void ProgramMemory::remove(int step) {
    if (!inside(step)) return;
    codes_.erase(codes_.begin() + static_cast<std::ptrdiff_t>(index(step)));
    marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(index(step)));
    codes_.emplace_back();
    marks_.emplace_back();
}

void ProgramMemory::clear() {
    codes_.assign(Codes::steps, Step{});
    marks_.assign(Codes::steps, Marks{});
}

void ProgramMemory::load(const std::vector<Step>& steps) {
    clear();
    std::copy_n(steps.begin(), std::min(steps.size(), codes_.size()), codes_.begin());
}

void ProgramMemory::revise(const std::vector<Step>& steps) {
    // The steps the edit left alone are the longest common subsequence of
    // the old and the new program; 416 × 416 cells are quickly filled.
    const std::vector<Step> before = this->steps();
    const std::size_t n = before.size();
    const std::size_t m = std::min(steps.size(), codes_.size());
    std::vector<std::vector<std::uint16_t>> common(n + 1, std::vector<std::uint16_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = before[i] == steps[j] ? static_cast<std::uint16_t>(common[i + 1][j + 1] + 1)
                                                 : std::max(common[i + 1][j], common[i][j + 1]);
    std::vector<Marks> kept(codes_.size());
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (before[i] == steps[j]) {
            kept[j++] = marks_[i++];
        } else if (common[i + 1][j] >= common[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    load(steps);
    marks_ = std::move(kept);
}

} // namespace vx
