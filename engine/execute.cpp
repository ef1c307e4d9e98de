// SPDX-License-Identifier: GPL-3.0-or-later
// The single dispatcher through which every step code takes effect, whether
// keyed by hand or fetched from program memory. Each family of codes has its
// own handler; a handler answers false for a code that is not its own.
#include "engine/Engine.h"
#include "engine/Number.h"

#include <cmath>

namespace vx {

namespace {

// After these a digit starts a new number instead of editing the shown one.
bool makesEntryReady(int code) {
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
    entryReady_ = makesEntryReady(code);
    if (code == Codes::equals && sigmaPending_ && sigmaPending_->entered) {
        SigmaPending pending = *sigmaPending_;
        sigmaPending_.reset();
        frequencyCompletion(pending);
        return;
    }
    sigmaPending_.reset();

    if (Codes::isFunction(code)) {
        applyFunction(code);
    } else if (Codes::isMetric(code)) {
        metric(code);
    } else if (Codes::isRegisterOp(code)) {
        // The codes between the six modifiers of a family take their operand and do nothing.
        if (Codes::modifierOf(code) < Codes::modifiers) registerOp(code, operand.value_or(0));
    } else if (Codes::isDecimalSetting(code)) {
        dp_ = Codes::decimalsOf(code);
        sciMode_ = false;
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
    polar_.reset();
    printNumber(E_, Codes::symbol(code), false);
    E_ = Num{function(E_.v, code), false};
    printNumber(E_, "", false);
}

// Constants and changes of the number in E itself.
bool Engine::numberCode(int code) {
    switch (code) {
    case Codes::euler: E_ = Num{r13(eulerE), false}; return true;
    case Codes::pi: E_ = Num{r13(pi), false}; return true;
    case Codes::abs: E_.v = std::fabs(E_.v); return true;
    case Codes::fraction:
        E_ = Num{r13(E_.v - std::trunc(E_.v)), false};
        printNumber(E_, "FR", false);
        return true;
    case Codes::integer:
        E_ = Num{std::trunc(E_.v), false};
        printNumber(E_, "IN", false);
        return true;
    case Codes::round:
        // ROUND follows the DP setting; a D/M/S value keeps its seconds.
        if (!sciMode_ && !E_.dms) {
            const double scale = std::pow(10.0, dp_);
            E_.v = r13(std::round(E_.v * scale) / scale);
        }
        return true;
    case Codes::flipDms: flipDms(); return true;
    default: return false;
    }
}

void Engine::flipDms() {
    const bool wasDms = E_.dms;
    E_.dms = !E_.dms;
    // Turned into degrees, a full turn or more is reduced below 360.
    if (!wasDms && std::fabs(E_.v) >= 360) {
        const double rest = std::fmod(E_.v, 360.0);
        E_.v = rest < 0 ? rest + 360.0 : rest;
    }
    printNumber(E_, "F/", false);
}

bool Engine::printerCode(int code) {
    switch (code) {
    case Codes::ident:
    case Codes::shiftedIdent:
        identMode_ = true;
        printNumber(E_, "ID", false);
        return true;
    case Codes::print: printNumber(E_, "", true); return true;
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
        E_ = Num::zero;
        numOp_.reset();
        pendingExec_ = false;
        parens_.clear();
        polar_.reset();
        error_ = false;
        printNumber(E_, "∧", false);
        return true;
    case Codes::clear:
        // CLEAR in the error state brings back the number the error hid.
        E_ = error_ ? errorSaved_ : Num::zero;
        error_ = false;
        return true;
    case Codes::clearAll:
        regs_.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
        E_ = Num::zero;
        printNumber(E_, "CA", false);
        return true;
    case Codes::selfTest:
        showTemporarily(std::vector<Cell>(16, Cell{'8', true, true}), selfTestSeconds);
        return true;
    case Codes::scientific: sciMode_ = true; return true;
    default: return false;
    }
}

} // namespace vx
