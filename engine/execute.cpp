// SPDX-License-Identifier: GPL-3.0-or-later
// The single dispatcher through which every step code takes effect, whether
// keyed by hand or fetched from program memory. Each family of codes has its
// own handler; a handler answers false for a code that is not its own.
#include "engine/Engine.h"
#include "engine/Number.h"

#include <cmath>

namespace vx {

namespace {

// After these CHS begins a new negative number; after any other code it
// negates the shown result in place.
bool chsStartsNumberAfter(int code) {
    switch (code) {
    case Codes::add:
    case Codes::subtract:
    case Codes::multiply:
    case Codes::divide:
    case Codes::power:
    case Codes::openParen:
    case Codes::reset:
    case Codes::clear:
    case Codes::toRect:
    case Codes::toPolar: return true;
    default: return false;
    }
}

} // namespace

void Engine::execute(int code, std::optional<int> operand) {
    if (Codes::isEntry(code)) {
        editEntry(code);
        return;
    }
    commitEntry();
    calc_.chsStartsNumber = chsStartsNumberAfter(code);
    if (code == Codes::equals && calc_.sigmaPending && calc_.sigmaPending->entered) {
        SigmaPending pending = *calc_.sigmaPending;
        calc_.sigmaPending.reset();
        frequencyCompletion(pending);
        return;
    }
    calc_.sigmaPending.reset();

    if (Codes::isFunction(code)) {
        applyFunction(code);
    } else if (Codes::isMetric(code)) {
        metric(code);
    } else if (Codes::isRegisterOp(code)) {
        // The codes between the six modifiers of a family take their operand and do nothing.
        if (Codes::modifierOf(code) < Codes::modifiers) registerOp(code, operand.value_or(0));
    } else if (Codes::isDecimalSetting(code)) {
        calc_.dp = Codes::decimalsOf(code);
        calc_.sciMode = false;
    } else if (!arithmeticCode(code) && !statisticsCode(code) && !numberCode(code) && !printerCode(code)) {
        // DP . and DP CHS, the tape codes and undefined codes fall through
        // every handler: they only had the preamble above.
        machineCode(code);
    }
}

bool Engine::arithmeticCode(int code) {
    switch (code) {
    case Codes::equals: equals(); return true;
    case Codes::add: binaryOp(Op::add, code); return true;
    case Codes::subtract: binaryOp(Op::sub, code); return true;
    case Codes::multiply: binaryOp(Op::mul, code); return true;
    case Codes::divide: binaryOp(Op::div, code); return true;
    case Codes::power: binaryOp(Op::pow, code); return true;
    case Codes::toRect: binaryOp(Op::toRect, code); return true;
    case Codes::toPolar: binaryOp(Op::toPolar, code); return true;
    case Codes::openParen: openParen(); return true;
    case Codes::closeParen: closeParen(); return true;
    default: return false;
    }
}

void Engine::applyFunction(int code) {
    calc_.polar.reset();
    printNumber(calc_.E, Codes::symbol(code), false);
    calc_.E = Num{function(calc_.E.v, code), false};
    printNumber(calc_.E, "", false);
}

// Constants and changes of the number in E itself.
bool Engine::numberCode(int code) {
    switch (code) {
    case Codes::euler: calc_.E = Num{r13(eulerE), false}; return true;
    case Codes::pi: calc_.E = Num{r13(pi), false}; return true;
    case Codes::abs: calc_.E.v = std::fabs(calc_.E.v); return true;
    case Codes::fraction:
        calc_.E = Num{r13(calc_.E.v - std::trunc(calc_.E.v)), false};
        printNumber(calc_.E, Codes::symbol(Codes::fraction), false);
        return true;
    case Codes::integer:
        calc_.E = Num{std::trunc(calc_.E.v), false};
        printNumber(calc_.E, Codes::symbol(Codes::integer), false);
        return true;
    case Codes::round:
        // ROUND follows the DP setting; a D/M/S value keeps its seconds.
        if (!calc_.sciMode && !calc_.E.dms) {
            const double scale = std::pow(10.0, calc_.dp);
            calc_.E.v = r13(std::round(calc_.E.v * scale) / scale);
        }
        return true;
    case Codes::flipDms: flipDms(); return true;
    default: return false;
    }
}

void Engine::flipDms() {
    const bool wasDms = calc_.E.dms;
    calc_.E.dms = !calc_.E.dms;
    // Turned into degrees, a full turn or more is reduced below 360.
    if (!wasDms && std::fabs(calc_.E.v) >= 360) {
        const double rest = std::fmod(calc_.E.v, 360.0);
        calc_.E.v = rest < 0 ? rest + 360.0 : rest;
    }
    printNumber(calc_.E, Codes::symbol(Codes::flipDms), false);
}

bool Engine::printerCode(int code) {
    switch (code) {
    case Codes::ident:
    case Codes::shiftedIdent:
        calc_.identMode = true;
        printNumber(calc_.E, Codes::symbol(code), false);
        return true;
    case Codes::print: printNumber(calc_.E, "", true); return true;
    case Codes::advance: appendLine("", "", false, false); return true;
    case Codes::dots: {
        std::string dots;
        for (int i = 0; i < TapeLine::columns; ++i) dots += "·";
        appendLine(dots, "", false, true);
        return true;
    }
    default: return false;
    }
}

// The clearing keys, the self-test and the scientific display.
bool Engine::machineCode(int code) {
    switch (code) {
    case Codes::reset:
        calc_.E = Num::zero;
        calc_.current = {};
        calc_.parens.clear();
        calc_.polar.reset();
        calc_.error = false;
        printNumber(calc_.E, Codes::symbol(Codes::reset), false);
        return true;
    case Codes::clear:
        // CLEAR in the error state brings back the number the error hid.
        calc_.E = calc_.error ? calc_.errorSaved : Num::zero;
        calc_.error = false;
        return true;
    case Codes::clearAll:
        mem_.registers = MachineState::Memory::emptyRegisters(sw_.model);
        calc_.E = Num::zero;
        printNumber(calc_.E, Codes::symbol(Codes::clearAll), false);
        return true;
    case Codes::selfTest:
        showTemporarily(std::vector<Cell>(16, Cell{'8', true, true}), selfTestSeconds);
        return true;
    case Codes::scientific: calc_.sciMode = true; return true;
    default: return false;
    }
}

} // namespace vx
