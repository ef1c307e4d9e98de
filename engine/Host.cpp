// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Host.h"

namespace vx {

std::optional<std::string> MemorySettings::text(const std::string& key) {
    auto it = texts_.find(key);
    if (it == texts_.end()) return std::nullopt;
    return it->second;
}
std::optional<long long> MemorySettings::integer(const std::string& key) {
    auto it = integers_.find(key);
    if (it == integers_.end()) return std::nullopt;
    return it->second;
}
std::optional<bool> MemorySettings::boolean(const std::string& key) {
    auto it = booleans_.find(key);
    if (it == booleans_.end()) return std::nullopt;
    return it->second;
}
void MemorySettings::setText(const std::string& key, const std::string& value) {
    texts_[key] = value;
    ++writes;
}
void MemorySettings::setInteger(const std::string& key, long long value) {
    integers_[key] = value;
    ++writes;
}
void MemorySettings::setBoolean(const std::string& key, bool value) {
    booleans_[key] = value;
    ++writes;
}

StdRandom::StdRandom() : gen_(std::random_device{}()) {}

} // namespace vx
