// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Keys.h"

namespace vx {

std::string keyName(Key key) {
    return keyRow(key).name;
}

std::optional<Key> keyFromName(std::string_view name) {
    for (const KeyRow& row : keyRows)
        if (name == row.name) return row.key;
    return std::nullopt;
}

std::optional<Key> keyForCharacter(char32_t c) {
    if (c == 0) return std::nullopt;
    for (const KeyRow& row : keyRows)
        if (static_cast<unsigned char>(row.character) == c) return row.key;
    return std::nullopt;
}

} // namespace vx
