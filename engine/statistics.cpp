// SPDX-License-Identifier: GPL-3.0-or-later
// Statistics: SIGMA and -SIGMA keep n, Σx and Σx² in registers 1 to 3, MEAN
// and SD read them.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

bool Engine::statisticsCode(int code) {
    switch (code) {
    case Codes::sigma:
    case Codes::minusSigma: {
        const double sign = code == Codes::sigma ? 1 : -1;
        sigmaAdd(calc_.E.v, sign);
        calc_.sigmaPending = SigmaPending{calc_.E.v, sign, false};
        printNumber(calc_.E, Codes::symbol(code), false);
        return true;
    }
    case Codes::mean:
    case Codes::shiftedMean:
        if (mem_.registers[1].v == 0) throw CalcError{};
        calc_.E = Num{checked(mem_.registers[2].v / mem_.registers[1].v), false};
        printNumber(calc_.E, Codes::symbol(code), false);
        return true;
    case Codes::deviation:
    case Codes::shiftedDeviation: {
        const double n = mem_.registers[1].v;
        if (n <= 1) throw CalcError{};
        // Rounding can leave a variance of equal values slightly below zero.
        double variance = (mem_.registers[3].v - mem_.registers[2].v * mem_.registers[2].v / n) / (n - 1);
        if (variance < 0) variance = 0;
        calc_.E = Num{checked(std::sqrt(variance)), false};
        printNumber(calc_.E, Codes::symbol(code), false);
        return true;
    }
    case Codes::clearStatistics:
        mem_.registers[1] = mem_.registers[2] = mem_.registers[3] = Num::zero;
        return true;
    default: return false;
    }
}

// The three sums are results like any other: all of them are checked
// before any changes, so a sum out of range raises the error state and
// leaves the registers as they were.
void Engine::addToSums(double count, double sum, double squares) {
    const double n = checked(mem_.registers[1].v + count);
    const double s = checked(mem_.registers[2].v + sum);
    const double q = checked(mem_.registers[3].v + squares);
    mem_.registers[1].v = n;
    mem_.registers[2].v = s;
    mem_.registers[3].v = q;
}

void Engine::sigmaAdd(double x, double sign) {
    addToSums(sign, x * sign, x * sign * x);
}

void Engine::frequencyCompletion(const SigmaPending& pending) {
    // "x SIGMA f =" counts x f times: SIGMA counted it once, "=" adds the rest.
    const double d = pending.sign * (calc_.E.v - 1);
    const double x = pending.x;
    addToSums(d, x * d, x * (x * d));
    printNumber(calc_.E, Codes::symbol(Codes::equals), false);
}

} // namespace vx
