// SPDX-License-Identifier: GPL-3.0-or-later
// Store, recall and exchange with register arithmetic and indirect addressing.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

void Engine::registerOp(int code, int operand) {
    const int base = Codes::registerBase(code);
    const int k = Codes::modifierOf(code);
    const int bank = static_cast<int>(regs_.size());
    const bool indirect = twoDigitRegisters(model_) && operand >= Codes::indirect;

    int r;
    if (!indirect) {
        if (operand < 0 || operand >= bank) throw CalcError{};
        r = operand;
    } else {
        int n = operand - Codes::indirect;
        if (n >= bank) throw CalcError{};
        double v = regs_[static_cast<std::size_t>(n)].v;
        if (!(v >= 0) || v >= bank) throw CalcError{};
        r = static_cast<int>(std::trunc(v));
    }

    static const char* const marks[6] = {" ", "+", "-", "×", "÷", "^"};
    std::string symbol = indirect ? "I" : "";
    symbol += base == Codes::store ? "ST" : base == Codes::recall ? "RC" : "XC";
    symbol += marks[k];
    symbol += twoDigitRegisters(model_) ? Codes::registerDigits(operand) : Codes::keySymbol(r);

    static const Op ops[6] = {Op::add, Op::add, Op::sub, Op::mul, Op::div, Op::pow};
    Num& reg = regs_[static_cast<std::size_t>(r)];
    if (base == Codes::store) {
        reg = k == 0 ? E_ : compute(reg, E_, ops[k]);
    } else if (base == Codes::recall) {
        E_ = k == 0 ? reg : compute(E_, reg, ops[k]);
    } else if (k == 0) {
        std::swap(E_, reg);
    } else {
        reg = compute(reg, E_, ops[k]);
        E_ = reg;
    }
    printNumber(E_, symbol, false);
}

} // namespace vx
