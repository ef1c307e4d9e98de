// SPDX-License-Identifier: GPL-3.0-or-later
// The front panel's keys as the machine knows them: one row per key, with
// its name in scripts, the character that types it, its place in the
// operand and label families and the codes it gives plain and after f.
// Everything else about a key (the scripts, the code table, the panel's own
// table) is derived from here, and the compiler checks that the rows and
// the kinds agree.
#pragma once

#include "program/Codes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// Which front-panel key it is. `digit` carries its value in Key::n.
enum class KeyKind : std::uint8_t {
    digit,
    dot,
    chs,
    exp,
    dms,
    equals,
    plus,
    minus,
    times,
    divide,
    power,
    lparen,
    rparen,
    f,
    sigma,
    sdMean,
    startStop,
    clear,
    reset,
    adv,
    printKey,
    setDP,
    ident,
    store,
    recall,
    exchange,
    ln,
    log,
    sqrt,
    recip,
    toMetric,
    sin,
    cos,
    tan,
    toRect,
    toRad,
    back,
    fwd,
    jump,
    insert,
    last = insert // a new key goes before this line and moves it
};

struct Key {
    KeyKind kind = KeyKind::digit;
    int n = 0;
    constexpr Key() = default;
    constexpr Key(KeyKind k) : kind(k) {}
    static constexpr Key digit(int value) {
        Key key(KeyKind::digit);
        key.n = value;
        return key;
    }
    constexpr bool isDigit() const { return kind == KeyKind::digit; }
    constexpr bool operator==(const Key&) const = default;
};

// The keys in one order every table shares: the ten digits, then the other
// kinds in their order.
constexpr int keyIndex(Key key) {
    return key.isDigit() ? key.n : 9 + static_cast<int>(key.kind);
}

struct KeyRow {
    Key key;
    const char* name;             // in scripts: "7", "startStop"
    char character = 0;           // the character that stands for the key in text, if any
    std::optional<int> index{};   // the key's place in the operand and label families
    std::optional<int> plain{};   // the code the key gives
    std::optional<int> shifted{}; // the code after f
};

namespace keys_detail {
constexpr KeyRow digitRow(int n) {
    constexpr const char* names[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    return {Key::digit(n), names[n], static_cast<char>('0' + n), n, n, Codes::shiftedDigits + n};
}
} // namespace keys_detail

inline constexpr KeyRow keyRows[] = {
    keys_detail::digitRow(0),
    keys_detail::digitRow(1),
    keys_detail::digitRow(2),
    keys_detail::digitRow(3),
    keys_detail::digitRow(4),
    keys_detail::digitRow(5),
    keys_detail::digitRow(6),
    keys_detail::digitRow(7),
    keys_detail::digitRow(8),
    keys_detail::digitRow(9),
    {KeyKind::dot, "dot", '.', 10, Codes::dot, Codes::dots},
    {KeyKind::chs, "chs", 0, 11, Codes::chs, Codes::selfTest},
    {KeyKind::exp, "exp", 0, 12, Codes::exp, Codes::pause},
    {KeyKind::dms, "dms", 0, 13, Codes::dms, Codes::flipDms},
    {KeyKind::equals, "equals", '=', {}, Codes::equals},
    {KeyKind::plus, "plus", '+', {}, Codes::add},
    {KeyKind::minus, "minus", '-', {}, Codes::subtract},
    {KeyKind::times, "times", '*', {}, Codes::multiply},
    {KeyKind::divide, "divide", '/', {}, Codes::divide},
    {KeyKind::power, "power", '^', {}, Codes::power},
    {KeyKind::lparen, "lparen", '(', 14, Codes::openParen},
    {KeyKind::rparen, "rparen", ')', 15, Codes::closeParen},
    {KeyKind::f, "f"},
    {KeyKind::sigma, "sigma", 0, {}, Codes::sigma, Codes::minusSigma},
    {KeyKind::sdMean, "sdMean", 0, {}, Codes::deviation, Codes::shiftedMean},
    {KeyKind::startStop, "startStop", 0, {}, Codes::stop},
    {KeyKind::clear, "clear", 0, {}, Codes::clear, Codes::clearAll},
    {KeyKind::reset, "reset", 0, {}, Codes::reset},
    {KeyKind::adv, "adv", 0, {}, Codes::advance},
    {KeyKind::printKey, "printKey", 0, {}, Codes::print},
    {KeyKind::setDP, "setDP"},
    {KeyKind::ident, "ident", 0, {}, Codes::ident},
    {KeyKind::store, "store"},
    {KeyKind::recall, "recall"},
    {KeyKind::exchange, "exchange"},
    {KeyKind::ln, "ln", 0, {}, Codes::ln, Codes::expE},
    {KeyKind::log, "log", 0, {}, Codes::log, Codes::exp10},
    {KeyKind::sqrt, "sqrt", 0, {}, Codes::sqrt, Codes::square},
    {KeyKind::recip, "recip", 0, {}, Codes::reciprocal, Codes::factorial},
    {KeyKind::toMetric, "toMetric"},
    {KeyKind::sin, "sin", 0, {}, Codes::sin, Codes::asin},
    {KeyKind::cos, "cos", 0, {}, Codes::cos, Codes::acos},
    {KeyKind::tan, "tan", 0, {}, Codes::tan, Codes::atan},
    {KeyKind::toRect, "toRect", 0, {}, Codes::toRect, Codes::toPolar},
    {KeyKind::toRad, "toRad", 0, {}, Codes::toRadians, Codes::fromRadians},
    {KeyKind::back, "back", 0, {}, {}, Codes::returnStep},
    {KeyKind::fwd, "fwd"},
    {KeyKind::jump, "jump"},
    {KeyKind::insert, "insert"},
};

inline constexpr int keyCount = static_cast<int>(std::size(keyRows));

namespace keys_detail {
constexpr bool rowsInKeyOrder() {
    for (int i = 0; i < keyCount; ++i)
        if (keyIndex(keyRows[i].key) != i || (i >= 10 && keyRows[i].key.isDigit())) return false;
    return true;
}
} // namespace keys_detail
static_assert(keyCount == 10 + static_cast<int>(KeyKind::last), "one row for every digit and kind");
static_assert(keys_detail::rowsInKeyOrder(), "the rows stand in key order, each key once");

constexpr const KeyRow& keyRow(Key key) {
    return keyRows[keyIndex(key)];
}

// The name of the key as written in scripts ("digit" keys are named by their
// digit) and back.
std::string keyName(Key key);
std::optional<Key> keyFromName(std::string_view name);

// The characters that stand for a key wherever keys are written as text (a
// batch script, a snapshot's key string, the host keyboard): the digits, "."
// and the signs + - * / ^ ( ) =.
std::optional<Key> keyForCharacter(char32_t c);

// The code a key gives, plain and after the f key.
inline std::optional<int> plainCode(Key key) {
    return keyRow(key).plain;
}
inline std::optional<int> shiftedCode(Key key) {
    return keyRow(key).shifted;
}

// digit n -> n, dot 10, chs 11, exp 12.
inline std::optional<int> operandIndex(Key key) {
    const auto index = keyRow(key).index;
    return index && *index <= Codes::exp ? index : std::nullopt;
}

} // namespace vx
