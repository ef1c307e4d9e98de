// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Types.h"

#include "engine/Host.h"
#include "program/Codes.h"

#include <array>

namespace vx {

std::string rawValue(Model m) {
    return m == Model::orbis412 ? "412" : "410";
}
std::string title(Model m) {
    return "Veltranix " + rawValue(m) + " Numerist";
}
std::string menuTitle(Model m) {
    return "Orbis " + rawValue(m) + " Numerist";
}

std::optional<Model> modelFromRaw(std::string_view raw) {
    if (raw == "410") return Model::orbis410;
    if (raw == "412") return Model::orbis412;
    return std::nullopt;
}

Model savedModel(Settings& settings) {
    auto stored = settings.text("model");
    return stored && *stored == "412" ? Model::orbis412 : Model::orbis410;
}

void saveModel(Settings& settings, Model m) {
    settings.setText("model", rawValue(m));
}

namespace {

constexpr std::array<const char*, 40> kindNames = {
    "digit",    "dot",    "chs",    "exp",   "dms",    "equals",   "plus",      "minus", "times", "divide",
    "power",    "lparen", "rparen", "f",     "sigma",  "sdMean",   "startStop", "clear", "reset", "adv",
    "printKey", "setDP",  "ident",  "store", "recall", "exchange", "ln",        "log",   "sqrt",  "recip",
    "toMetric", "sin",    "cos",    "tan",   "toRect", "toRad",    "back",      "fwd",   "jump",  "insert"};

const std::array<Key, keyCount>& keyList() {
    static const std::array<Key, keyCount> keys = [] {
        std::array<Key, keyCount> list{};
        for (int d = 0; d < 10; ++d) list[d] = Key::digit(d);
        for (int k = 1; k < 40; ++k) list[9 + k] = Key(static_cast<KeyKind>(k));
        return list;
    }();
    return keys;
}

} // namespace

const Key* allKeysBegin() {
    return keyList().data();
}
const Key* allKeysEnd() {
    return keyList().data() + keyList().size();
}

std::string keyName(Key key) {
    if (key.isDigit()) return std::to_string(key.n);
    return kindNames[static_cast<std::size_t>(key.kind)];
}

std::optional<Key> keyFromName(std::string_view name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return Key::digit(name[0] - '0');
    for (std::size_t k = 1; k < kindNames.size(); ++k)
        if (name == kindNames[k]) return Key(static_cast<KeyKind>(k));
    return std::nullopt;
}

std::optional<Key> keyForCharacter(char32_t c) {
    if (c >= '0' && c <= '9') return Key::digit(static_cast<int>(c - '0'));
    switch (c) {
    case '.': return Key(KeyKind::dot);
    case '+': return Key(KeyKind::plus);
    case '-': return Key(KeyKind::minus);
    case '*': return Key(KeyKind::times);
    case '/': return Key(KeyKind::divide);
    case '^': return Key(KeyKind::power);
    case '(': return Key(KeyKind::lparen);
    case ')': return Key(KeyKind::rparen);
    case '=': return Key(KeyKind::equals);
    default: return std::nullopt;
    }
}

std::optional<Key> snapshotLetter(char32_t c) {
    switch (c) {
    case 'S': return Key(KeyKind::sqrt);
    case 'P': return Key(KeyKind::printKey);
    case 'f': return Key(KeyKind::f);
    default: return std::nullopt;
    }
}

std::optional<int> operandIndex(Key key) {
    switch (key.kind) {
    case KeyKind::digit: return key.n;
    case KeyKind::dot: return 10;
    case KeyKind::chs: return 11;
    case KeyKind::exp: return 12;
    default: return std::nullopt;
    }
}

std::optional<int> labelIndex(Model m, Key key) {
    std::optional<int> index = operandIndex(key);
    if (!index) {
        if (key.kind == KeyKind::dms)
            index = 13;
        else if (key.kind == KeyKind::lparen)
            index = 14;
        else if (key.kind == KeyKind::rparen)
            index = 15;
    }
    if (index && *index > maxLabel(m)) return std::nullopt;
    return index;
}

int Prefix::provisionalOperand() const {
    return (ind ? Codes::indirect : 0) + 10 * digit.value_or(0);
}

std::optional<int> Prefix::provisionalCode() const {
    switch (kind) {
    case Kind::none: return std::nullopt;
    case Kind::f: return Codes::shiftedDigits;
    case Kind::setDP: return Codes::decimals;
    case Kind::label: return Codes::label;
    case Kind::metric: return base;
    case Kind::reg: return base + off;
    case Kind::cond: return base + bits;
    }
    return std::nullopt;
}

// --- host helpers -----------------------------------------------------------

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
