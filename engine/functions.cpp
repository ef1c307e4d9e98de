// SPDX-License-Identifier: GPL-3.0-or-later
// One-operand functions, unit conversions, coordinate pairs and statistics.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

namespace {
constexpr double pi = 3.141592653589793;
}

double Engine::function(double x, int code) const {
    const double u = gradMode_ ? 200.0 : 180.0;
    switch (code) {
    case 48:
        if (x <= 0) throw CalcError{};
        return checked(std::log(x));
    case 49:
        if (x <= 0) throw CalcError{};
        return checked(std::log10(x));
    case 50:
        if (x < 0) throw CalcError{};
        return checked(std::sqrt(x));
    case 51:
        if (x == 0) throw CalcError{};
        return checked(1.0 / x);
    case 56: return checked(std::sin(x * pi / u));
    case 57: return checked(std::cos(x * pi / u));
    case 58: {
        // At the poles the machine answers with its largest number, signed by
        // the side of the pole the quarter turn count falls on.
        double q = x / (u / 2);
        if (q == std::trunc(q) && std::fabs(std::fmod(q, 2.0)) == 1.0) {
            double k = (q - 1) / 2;
            return std::fmod(k, 2.0) == 0 ? 1e99 : -1e99;
        }
        return checked(std::tan(x * pi / u));
    }
    case 60: return checked(x * pi / u);
    case 112: return checked(std::exp(x));
    case 113: return checked(std::pow(10.0, x));
    case 114: return checked(x * x);
    case 115: {
        if (x < 0 || x > 69 || x != std::trunc(x)) throw CalcError{};
        double product = 1;
        for (int i = 2; i <= static_cast<int>(x); ++i) product *= i;
        return checked(product);
    }
    case 120:
        if (std::fabs(x) > 1) throw CalcError{};
        return checked(std::asin(x) * u / pi);
    case 121:
        if (std::fabs(x) > 1) throw CalcError{};
        return checked(std::acos(x) * u / pi);
    case 122: return checked(std::atan(x) * u / pi);
    case 124: return checked(x * u / pi);
    default: return x;
    }
}

void Engine::metric(int code) {
    printNumber(E, Codes::symbol(code), false);
    const bool toMetric = code < 176;
    const int k = code - (toMetric ? 160 : 176);
    const double u = gradMode_ ? 200.0 : 180.0;
    const double x = E.v;
    double r;
    if (k == 0)
        r = toMetric ? (x - 32) * 5 / 9 : x * 9 / 5 + 32;
    else if (k == 11)
        r = toMetric ? x * pi / u : x * u / pi;
    else
        r = toMetric ? x * Codes::metricFactors().at(k) : x / Codes::metricFactors().at(k);
    E = Num{checked(r), false};
    printNumber(E, "", false);
}

void Engine::convertPair(Num first, Op op) {
    const double u = gradMode_ ? 200.0 : 180.0;
    double a, b;
    if (op == Op::toPolar) {
        a = checked(std::atan2(E.v, first.v) * u / pi);
        b = checked(std::hypot(first.v, E.v));
    } else {
        a = checked(std::cos(first.v * pi / u) * E.v);
        b = checked(std::sin(first.v * pi / u) * E.v);
    }
    E = Num{a, false};
    polar = Polar{Num{a, false}, Num{b, false}, true};
}

void Engine::sigmaAdd(double x, double sign) {
    regs[1] = Num{r13(regs[1].v + sign), false};
    regs[2] = Num{r13(regs[2].v + x * sign), false};
    regs[3] = Num{r13(regs[3].v + x * sign * x), false};
}

void Engine::frequencyCompletion(const SigmaPending& pending) {
    // "x SIGMA f =" counts x f times: SIGMA counted it once, "=" adds the rest.
    const double d = pending.sign * (E.v - 1);
    const double x = pending.x;
    regs[1].v = r13(regs[1].v + d);
    regs[2].v = r13(regs[2].v + x * d);
    regs[3].v = r13(regs[3].v + x * (x * d));
    printNumber(E, "=", false);
}

} // namespace vx
