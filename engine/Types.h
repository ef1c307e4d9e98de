// SPDX-License-Identifier: GPL-3.0-or-later
// The small value types the whole machine shares: numbers, pending operations,
// the mode switch, the two models and their traits, keys, prefixes and the
// result of assembling a key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/Keys.h"

namespace vx {

class Settings;

// A machine number. The value is always in decimal units; `dms` only says how
// it is shown and printed (degrees, minutes, seconds).
struct Num {
    double v = 0.0;
    bool dms = false;
    static const Num zero;
    bool operator==(const Num&) const = default;
};
inline constexpr Num Num::zero{0.0, false};

enum class Op { add, sub, mul, div, pow, toRect, toPolar };

enum class Mode : int { run = 0, step = 1, load = 2 };

enum class Model { orbis410, orbis412 };
inline constexpr Model allModels[] = {Model::orbis410, Model::orbis412};

std::string rawValue(Model m); // "410" / "412"
std::optional<Model> modelFromRaw(std::string_view raw);
inline int registerCount(Model m) {
    return m == Model::orbis412 ? 44 : 12;
}
inline int maxLabel(Model m) {
    return m == Model::orbis412 ? 15 : 11;
}
// The larger model differs in one trait that shows in three places: the label
// search, two-digit register operands and the printer echoing every LOAD key.
inline bool lowestLabelWins(Model m) {
    return m == Model::orbis412;
}
inline bool twoDigitRegisters(Model m) {
    return m == Model::orbis412;
}
inline bool printsEveryLoadKey(Model m) {
    return m == Model::orbis412;
}

// The remembered model: "412" means the larger model, anything else (or
// nothing stored) the 410.
Model savedModel(Settings& settings);
void saveModel(Settings& settings, Model m);

// As operandIndex plus dms 13, lparen 14, rparen 15; only up to the model's
// highest label.
std::optional<int> labelIndex(Model m, Key key);

struct Prefix {
    enum class Kind { none, f, setDP, label, metric, reg, cond };
    Kind kind = Kind::none;
    int base = 0;
    int off = 0;              // reg: arithmetic modifier 0 ... 5
    bool ind = false;         // reg: indirect (412)
    std::optional<int> digit; // reg: first of two register digits (412)
    int bits = 0;             // cond: condition bits

    static Prefix none() { return {}; }
    static Prefix make(Kind k) {
        Prefix p;
        p.kind = k;
        return p;
    }
    static Prefix metric(int base) {
        Prefix p;
        p.kind = Kind::metric;
        p.base = base;
        return p;
    }
    static Prefix reg(int base, int off = 0, bool ind = false, std::optional<int> digit = {}) {
        Prefix p;
        p.kind = Kind::reg;
        p.base = base;
        p.off = off;
        p.ind = ind;
        p.digit = digit;
        return p;
    }
    static Prefix cond(int base, int bits) {
        Prefix p;
        p.kind = Kind::cond;
        p.base = base;
        p.bits = bits;
        return p;
    }
    // The code the prefix would produce so far (shown in LOAD mode).
    std::optional<int> provisionalCode() const;
    // reg on the 412 once the indirect mark or a first digit is keyed: the
    // preview shows the operand keyed so far instead of the code.
    bool previewsOperand() const { return kind == Kind::reg && (ind || digit); }
    int provisionalOperand() const;
    bool operator==(const Prefix&) const = default;
};

struct Assembled {
    enum class Kind { code, pending, back, fwd, insert, remove, ignored };
    Kind kind = Kind::ignored;
    int code = 0;
    std::optional<int> operand;

    static Assembled of(Kind k) {
        Assembled a;
        a.kind = k;
        return a;
    }
    static Assembled makeCode(int c, std::optional<int> op = {}) {
        Assembled a;
        a.kind = Kind::code;
        a.code = c;
        a.operand = op;
        return a;
    }
    bool operator==(const Assembled&) const = default;
};

} // namespace vx
