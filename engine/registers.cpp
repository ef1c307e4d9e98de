// SPDX-License-Identifier: GPL-3.0-or-later
// Store, recall and exchange with register arithmetic and indirect addressing.
#include "engine/Engine.h"

#include <cmath>
#include <cstdio>

namespace vx {

void Engine::registerOp(int code, int operand) {
    const int base = code < 200 ? 192 : code < 208 ? 200 : 208;
    const int k = code - base;
    const int bank = static_cast<int>(regs.size());
    const bool indirect = twoDigitRegisters(model_) && operand >= 100;

    int r;
    if (!indirect) {
        if (operand < 0 || operand >= bank) throw CalcError{};
        r = operand;
    } else {
        int n = operand - 100;
        if (n >= bank) throw CalcError{};
        double v = regs[static_cast<std::size_t>(n)].v;
        if (!(v >= 0) || v >= bank) throw CalcError{};
        r = static_cast<int>(std::trunc(v));
    }

    static const char* const marks[6] = {" ", "+", "-", "×", "÷", "^"};
    std::string symbol = indirect ? "I" : "";
    symbol += base == 192 ? "ST" : base == 200 ? "RC" : "XC";
    symbol += marks[k];
    if (twoDigitRegisters(model_)) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d", operand % 100);
        symbol += buf;
    } else {
        symbol += Codes::keySymbol(r);
    }

    static const Op ops[6] = {Op::add, Op::add, Op::sub, Op::mul, Op::div, Op::pow};
    Num& reg = regs[static_cast<std::size_t>(r)];
    if (base == 192) {
        reg = k == 0 ? E : compute(reg, E, ops[k]);
    } else if (base == 200) {
        E = k == 0 ? reg : compute(E, reg, ops[k]);
    } else if (k == 0) {
        std::swap(E, reg);
    } else {
        reg = compute(reg, E, ops[k]);
        E = reg;
    }
    printNumber(E, symbol, false);
}

} // namespace vx
