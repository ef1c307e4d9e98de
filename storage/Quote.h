// SPDX-License-Identifier: GPL-3.0-or-later
// The user's own words inside a message: a line pasted or read from a file
// may be megabytes long or hold control characters, and a message must
// neither grow as wide as the text nor move the cursor or colour a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vx::Quote {

// What a message quotes of a piece of text at the most, in characters.
inline constexpr std::size_t limit = 40;

// Control characters (C0, DEL and C1) as escapes ("\n", "\x1b", "\u009b"),
// and bytes that are not UTF-8 as "\xNN"; everything else as it is.
std::string escaped(std::string_view text);
// The same, cut after `limit` characters with "…".
std::string shown(std::string_view text, std::size_t limit = Quote::limit);

} // namespace vx::Quote
