// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/Quote.h"

#include <cstdio>

namespace vx::Quote {

namespace {

// The length of the UTF-8 sequence at `i`, or 0 when the bytes there are not
// one (a stray continuation byte, a cut or overlong sequence, a surrogate).
std::size_t sequenceAt(std::string_view s, std::size_t i, char32_t* code) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n;
    char32_t v;
    if (c < 0x80) {
        *code = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        v = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        v = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        v = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF))) || (n == 4 && (v < 0x10000 || v > 0x10FFFF)))
        return 0;
    *code = v;
    return n;
}

std::string escapes(std::string_view text, std::size_t most, bool* cut) {
    std::string out;
    std::size_t characters = 0;
    char buf[16];
    for (std::size_t i = 0; i < text.size();) {
        if (characters == most) {
            *cut = true;
            break;
        }
        ++characters;
        char32_t code = 0;
        const std::size_t n = sequenceAt(text, i, &code);
        if (n == 0) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(text[i]));
            out += buf;
            ++i;
            continue;
        }
        if (code == '\n')
            out += "\\n";
        else if (code == '\t')
            out += "\\t";
        else if (code == '\r')
            out += "\\r";
        else if (code < 0x20 || code == 0x7f) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(code));
            out += buf;
        } else if (code >= 0x80 && code <= 0x9f) {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(code));
            out += buf;
        } else {
            out.append(text.substr(i, n));
        }
        i += n;
    }
    return out;
}

} // namespace

std::string escaped(std::string_view text) {
    bool cut = false;
    return escapes(text, std::string::npos, &cut);
}

std::string shown(std::string_view text, std::size_t most) {
    bool cut = false;
    std::string out = escapes(text, most, &cut);
    return cut ? out + "…" : out;
}

} // namespace vx::Quote
