// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Number.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vx {

double r13(double x) {
    if (x == 0 || !std::isfinite(x)) return x;
    // Whole numbers of at most 13 digits survive the rounding unchanged; they
    // are most of what a counting program computes, so skip the text round trip.
    if (std::fabs(x) < 1e13 && x == std::trunc(x)) return x;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.12e", x);
    char* end = nullptr;
    double back = std::strtod(buf, &end);
    return end && *end == '\0' ? back : x;
}

namespace {
constexpr double upperLimit = 1e100;
constexpr double lowerLimit = 1e-99;

double inRange(double x) {
    if (std::fabs(x) < lowerLimit) return 0;
    if (x == 0) return x;
    return r13(x);
}
} // namespace

double checked(double x) {
    if (!std::isfinite(x) || std::fabs(x) >= upperLimit) throw CalcError{};
    return inRange(x);
}

Num compute(Num a, Num b, Op op) {
    switch (op) {
    case Op::add: return {checked(a.v + b.v), a.dms || b.dms};
    case Op::sub: return {checked(a.v - b.v), a.dms || b.dms};
    case Op::mul: return {checked(a.v * b.v), a.dms != b.dms};
    case Op::div:
        if (b.v == 0) throw CalcError{};
        return {checked(a.v / b.v), a.dms && !b.dms};
    case Op::pow: {
        if (a.v == 0) {
            if (b.v <= 0) throw CalcError{};
            return {0.0, false};
        }
        if (a.v > 0) return {checked(std::pow(a.v, b.v)), false};
        if (b.v != std::round(b.v)) throw CalcError{};
        double p = std::pow(-a.v, b.v);
        return {checked(std::fmod(b.v, 2.0) == 0 ? p : -p), false};
    }
    case Op::toRect:
    case Op::toPolar: return b;
    }
    return b;
}

} // namespace vx
