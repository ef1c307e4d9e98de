// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/TapeLine.h"

namespace vx {

namespace {
bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
} // namespace

std::size_t utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if (!isContinuation(c)) ++n;
    return n;
}

std::string utf8Prefix(const std::string& s, std::size_t chars) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!isContinuation(static_cast<unsigned char>(s[i]))) {
            if (seen == chars) return s.substr(0, i);
            ++seen;
        }
    }
    return s;
}

std::string utf8Suffix(const std::string& s, std::size_t chars) {
    std::size_t len = utf8Length(s);
    if (len <= chars) return s;
    std::size_t skip = len - chars, seen = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!isContinuation(static_cast<unsigned char>(s[i]))) {
            if (seen == skip) return s.substr(i);
            ++seen;
        }
    }
    return {};
}

std::string TapeLine::printed() const {
    if (left) return utf8Prefix(text, columns);
    std::string number = utf8Suffix(text, numberColumns);
    std::string line(numberColumns - utf8Length(number), ' ');
    line += number;
    if (symbol.empty()) return line;
    std::string sym = utf8Length(symbol) < static_cast<std::size_t>(symbolColumns) ? " " + symbol : symbol;
    return line + utf8Prefix(sym, symbolColumns);
}

} // namespace vx
