// SPDX-License-Identifier: GPL-3.0-or-later
// Number entry: the editing rules of the keyed-in number and its value.
#include "engine/Engine.h"

#include <cmath>
#include <cstdlib>

namespace vx {

namespace {

// A decimal number as the keyboard can type it; absent when the text holds no digit.
std::optional<double> parseDecimal(const std::string& text) {
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != '-' && c != '+')
            return std::nullopt;
    }
    if (!digit) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return v;
}

} // namespace

int Entry::significantDigits() const {
    int count = 0;
    bool leading = true;
    for (char c : mant) {
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++count;
    }
    return count;
}

double Entry::value() const {
    if (!dmsParts.empty()) {
        double parts[3] = {0, 0, 0};
        std::size_t i = 0;
        for (; i < dmsParts.size() && i < 3; ++i) parts[i] = parseDecimal(dmsParts[i]).value_or(0.0);
        if (i < 3) parts[i] = parseDecimal(mant).value_or(0.0);
        double v = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
        // The machine keeps D/M/S input below 1000 degrees by whole turns.
        if (v >= 1000) v = v - std::floor(v / 360.0) * 360.0;
        return neg ? -v : v;
    }
    std::string m = mant.empty() ? (expMode ? "1" : "0") : mant;
    if (m == ".") m = "0";
    std::optional<double> parsed = parseDecimal(m);
    double v;
    if (!expMode) {
        v = parsed.value_or(0.0);
    } else {
        v = parsed.value_or(0.0);
        if (auto e = parseDecimal(exp)) v = v * std::pow(10.0, expNeg ? -*e : *e);
    }
    return neg ? -v : v;
}

void Entry::edit(int code) {
    if (Codes::isDigit(code)) {
        if (!expMode) {
            if (significantDigits() <= 12) mant.push_back(static_cast<char>('0' + code));
        } else {
            exp.push_back(static_cast<char>('0' + code));
            if (exp.size() >= 3) exp.erase(0, 1);
        }
        return;
    }
    switch (code) {
    case Codes::dot:
        if (expMode || mant.find('.') != std::string::npos) return;
        mant += mant.empty() ? "0." : ".";
        return;
    case Codes::chs:
        if (expMode)
            expNeg = !expNeg;
        else
            neg = !neg;
        return;
    case Codes::exp:
        if (dmsParts.empty()) expMode = true;
        return;
    case Codes::dms:
        if (expMode || dmsParts.size() >= 2) return;
        dmsParts.push_back(mant.empty() ? "0" : mant);
        mant.clear();
        return;
    default: return;
    }
}

void Engine::editEntry(int code) {
    calc_.polar.reset();
    calc_.identMode = false;
    if (code == Codes::chs && !calc_.entry && !calc_.chsStartsNumber) {
        // CHS right after a result negates it in place.
        calc_.E.v = -calc_.E.v;
        return;
    }
    if (!calc_.entry) {
        calc_.entry = Entry{};
        calc_.chsStartsNumber = false;
        if (calc_.sigmaPending) calc_.sigmaPending->entered = true;
    }
    calc_.entry->edit(code);
}

void Engine::commitEntry() {
    if (!calc_.entry) return;
    const Entry typed = *calc_.entry;
    calc_.entry.reset();
    // The keyed number passes the same range check as every result: the
    // display and the printer have two exponent digits, so "10 EXP 99" would
    // otherwise show as 1e10. A keyed zero keeps its sign: "0 CHS" is -0,
    // and TO POLAR tells the angle by the sign of a zero.
    const double value = typed.value();
    calc_.E = Num{value == 0 ? r13(value) : checked(value), typed.isDMS()};
}

bool Engine::commitOrRaise() {
    try {
        commitEntry();
        return true;
    } catch (const CalcError&) {
        raiseError();
        return false;
    }
}

} // namespace vx
