// SPDX-License-Identifier: GPL-3.0-or-later
// Store, recall and exchange with register arithmetic and indirect addressing.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

void Engine::registerOp(int code, int operand) {
    const int base = Codes::registerBase(code);
    const int k = Codes::modifierOf(code);
    const int bank = static_cast<int>(mem_.registers.size());
    const bool indirect = twoDigitRegisters(sw_.model) && operand >= Codes::indirect;

    int r;
    if (!indirect) {
        if (operand < 0 || operand >= bank) throw CalcError{};
        r = operand;
    } else {
        int n = operand - Codes::indirect;
        if (n >= bank) throw CalcError{};
        double v = mem_.registers[static_cast<std::size_t>(n)].v;
        if (!(v >= 0) || v >= bank) throw CalcError{};
        r = static_cast<int>(std::trunc(v));
    }

    // The line a register operation prints marks its modifier as the listing
    // does, except that the plain operation prints a blank and aˣ a caret.
    std::string symbol = indirect ? "I" : "";
    symbol += Codes::symbol(base);
    symbol += k == 0 ? " " : k == 5 ? "^" : Codes::opSuffix(k);
    symbol += twoDigitRegisters(sw_.model) ? Codes::registerDigits(operand) : Codes::keySymbol(r);

    static const Op ops[6] = {Op::add, Op::add, Op::sub, Op::mul, Op::div, Op::pow};
    Num& reg = mem_.registers[static_cast<std::size_t>(r)];
    if (base == Codes::store) {
        reg = k == 0 ? calc_.E : compute(reg, calc_.E, ops[k]);
    } else if (base == Codes::recall) {
        calc_.E = k == 0 ? reg : compute(calc_.E, reg, ops[k]);
    } else if (k == 0) {
        std::swap(calc_.E, reg);
    } else {
        reg = compute(reg, calc_.E, ops[k]);
        calc_.E = reg;
    }
    printNumber(calc_.E, symbol, false);
}

} // namespace vx
