// SPDX-License-Identifier: GPL-3.0-or-later
// One-operand functions, unit conversions and coordinate pairs. Angles are
// in degrees or, with the GRAD switch, in grads.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

// Half a turn in the angle unit the GRAD switch selects.
double Engine::halfTurn() const {
    return sw_.gradMode ? 200.0 : 180.0;
}

double Engine::function(double x, int code) const {
    switch (code) {
    case Codes::ln:
        if (x <= 0) throw CalcError{};
        return checked(std::log(x));
    case Codes::log:
        if (x <= 0) throw CalcError{};
        return checked(std::log10(x));
    case Codes::sqrt:
        if (x < 0) throw CalcError{};
        return checked(std::sqrt(x));
    case Codes::reciprocal:
        if (x == 0) throw CalcError{};
        return checked(1.0 / x);
    case Codes::expE: return checked(std::exp(x));
    case Codes::exp10: return checked(std::pow(10.0, x));
    case Codes::square: return checked(x * x);
    case Codes::factorial: {
        if (x < 0 || x > 69 || x != std::trunc(x)) throw CalcError{};
        double product = 1;
        for (int i = 2; i <= static_cast<int>(x); ++i) product *= i;
        return checked(product);
    }
    default: return angleFunction(x, code);
    }
}

// The functions that take or give an angle in the switch's unit.
double Engine::angleFunction(double x, int code) const {
    const double u = halfTurn();
    switch (code) {
    case Codes::sin: return checked(std::sin(x * pi / u));
    case Codes::cos: return checked(std::cos(x * pi / u));
    case Codes::tan: {
        // At the poles the machine answers with its largest number, signed by
        // the side of the pole the quarter turn count falls on.
        double q = x / (u / 2);
        if (q == std::trunc(q) && std::fabs(std::fmod(q, 2.0)) == 1.0) {
            double k = (q - 1) / 2;
            return std::fmod(k, 2.0) == 0 ? 1e99 : -1e99;
        }
        return checked(std::tan(x * pi / u));
    }
    case Codes::toRadians: return checked(x * pi / u);
    case Codes::asin:
        if (std::fabs(x) > 1) throw CalcError{};
        return checked(std::asin(x) * u / pi);
    case Codes::acos:
        if (std::fabs(x) > 1) throw CalcError{};
        return checked(std::acos(x) * u / pi);
    case Codes::atan: return checked(std::atan(x) * u / pi);
    case Codes::fromRadians: return checked(x * u / pi);
    default: return x;
    }
}

void Engine::metric(int code) {
    printNumber(calc_.E, Codes::symbol(code), false);
    const bool toMetric = code < Codes::fromMetric;
    const int k = code - (toMetric ? Codes::toMetric : Codes::fromMetric);
    const double u = halfTurn();
    const double x = calc_.E.v;
    double r;
    // Index 0 converts temperatures, index 11 (CHS) angles; the rest are factors.
    if (k == 0)
        r = toMetric ? (x - 32) * 5 / 9 : x * 9 / 5 + 32;
    else if (k == 11)
        r = toMetric ? x * pi / u : x * u / pi;
    else
        r = toMetric ? x * Codes::metricFactors().at(k) : x / Codes::metricFactors().at(k);
    calc_.E = Num{checked(r), false};
    printNumber(calc_.E, "", false);
}

void Engine::convertPair(Num first, Op op) {
    const double u = halfTurn();
    double a, b;
    if (op == Op::toPolar) {
        a = checked(std::atan2(calc_.E.v, first.v) * u / pi);
        b = checked(std::hypot(first.v, calc_.E.v));
    } else {
        a = checked(std::cos(first.v * pi / u) * calc_.E.v);
        b = checked(std::sin(first.v * pi / u) * calc_.E.v);
    }
    calc_.E = Num{a, false};
    calc_.polar = Polar{Num{a, false}, Num{b, false}, true};
}

} // namespace vx
