// SPDX-License-Identifier: GPL-3.0-or-later
// One printed line of the paper tape.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

struct TapeLine {
    static constexpr int columns = 18;
    static constexpr int numberColumns = 12;
    static constexpr int symbolColumns = 6;

    std::uint64_t id = 0;
    std::string text;
    std::string symbol;
    bool red = false;
    bool left = false;
    // The program step that printed the line (a run, a single step or a
    // listing), or 0 for a line a key printed.
    int step = 0;

    // The characters that reach the paper (at most 18).
    std::string printed() const;
    bool operator==(const TapeLine&) const = default;
};

// UTF-8 helpers: the tape counts characters, not bytes.
std::size_t utf8Length(const std::string& s);
std::string utf8Prefix(const std::string& s, std::size_t chars);
std::string utf8Suffix(const std::string& s, std::size_t chars);

} // namespace vx
