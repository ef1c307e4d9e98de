// SPDX-License-Identifier: GPL-3.0-or-later
// The single dispatcher through which every step code takes effect, whether
// keyed by hand or fetched from program memory.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

namespace {

bool makesEntryReady(int code) {
    switch (code) {
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
    case 30:
    case 31:
    case 59:
    case 123: return true;
    default: return false;
    }
}

bool isFunction(int code) {
    return (code >= 48 && code <= 51) || (code >= 56 && code <= 58) || code == 60 ||
           (code >= 112 && code <= 115) || (code >= 120 && code <= 122) || code == 124;
}

constexpr double eulerE = 2.718281828459045;
constexpr double pi = 3.141592653589793;

} // namespace

void Engine::execute(int code, std::optional<int> operand) {
    if (code >= 0 && code <= 13) {
        editEntry(code);
        return;
    }
    commitEntry();
    entryReady = makesEntryReady(code);
    if (code == 16 && sigmaPending && sigmaPending->entered) {
        SigmaPending pending = *sigmaPending;
        sigmaPending.reset();
        frequencyCompletion(pending);
        return;
    }
    sigmaPending.reset();

    if (isFunction(code)) {
        polar.reset();
        printNumber(E, Codes::symbol(code), false);
        E = Num{function(E.v, code), false};
        printNumber(E, "", false);
        return;
    }
    if ((code >= 160 && code <= 171) || (code >= 176 && code <= 187)) {
        metric(code);
        return;
    }
    if (Codes::isRegisterOp(code) && (code & 7) <= 5) {
        registerOp(code, operand.value_or(0));
        return;
    }
    if (code >= 144 && code <= 153) {
        dp = code - 144;
        sciMode = false;
        return;
    }

    switch (code) {
    case 16: equals(); return;
    case 17: binaryOp(Op::add, code); return;
    case 18: binaryOp(Op::sub, code); return;
    case 19: binaryOp(Op::mul, code); return;
    case 20: binaryOp(Op::div, code); return;
    case 21: binaryOp(Op::pow, code); return;
    case 22: openParen(); return;
    case 23: closeParen(); return;
    case 26:
    case 73:
        identMode = true;
        printNumber(E, "ID", false);
        return;
    case 28: printNumber(E, "", true); return;
    case 29: appendLine("", "", false, false); return;
    case 30:
        E = Num::zero;
        numOp.reset();
        pendingExec = false;
        parens.clear();
        polar.reset();
        error = false;
        printNumber(E, "∧", false);
        return;
    case 31:
        if (error) {
            error = false;
            E = errorSaved;
        } else {
            E = Num::zero;
        }
        return;
    case 40:
        sigmaAdd(E.v, 1);
        sigmaPending = SigmaPending{E.v, 1, false};
        printNumber(E, "Σ", false);
        return;
    case 104:
        sigmaAdd(E.v, -1);
        sigmaPending = SigmaPending{E.v, -1, false};
        printNumber(E, "-Σ", false);
        return;
    case 67:
    case 105:
        if (regs[1].v == 0) throw CalcError{};
        E = Num{checked(regs[2].v / regs[1].v), false};
        printNumber(E, "MN", false);
        return;
    case 41:
    case 68: {
        double n = regs[1].v;
        if (n <= 1) throw CalcError{};
        double variance = (regs[3].v - regs[2].v * regs[2].v / n) / (n - 1);
        if (variance < 0) variance = 0;
        E = Num{checked(std::sqrt(variance)), false};
        printNumber(E, "SD", false);
        return;
    }
    case 64: regs[1] = regs[2] = regs[3] = Num::zero; return;
    case 59: binaryOp(Op::toRect, code); return;
    case 123: binaryOp(Op::toPolar, code); return;
    case 65: E = Num{r13(eulerE), false}; return;
    case 71: E = Num{r13(pi), false}; return;
    case 66: E.v = std::fabs(E.v); return;
    case 69:
        E = Num{r13(E.v - std::trunc(E.v)), false};
        printNumber(E, "FR", false);
        return;
    case 70:
        E = Num{std::trunc(E.v), false};
        printNumber(E, "IN", false);
        return;
    case 72:
        if (sciMode || E.dms) return;
        {
            double scale = std::pow(10.0, dp);
            E.v = r13(std::round(E.v * scale) / scale);
        }
        return;
    case 74: {
        std::string dots;
        for (int i = 0; i < TapeLine::columns; ++i) dots += "·";
        appendLine(dots, "", false, true);
        return;
    }
    case 75: {
        std::vector<Cell> eights(16, Cell{'8', true, true});
        showTemporarily(std::move(eights), 2.0);
        return;
    }
    case 77: {
        bool wasDms = E.dms;
        E.dms = !E.dms;
        if (!wasDms && std::fabs(E.v) >= 360) {
            double rest = std::fmod(E.v, 360.0);
            E.v = rest < 0 ? rest + 360.0 : rest;
        }
        printNumber(E, "F/", false);
        return;
    }
    case 95:
        regs.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
        E = Num::zero;
        printNumber(E, "CA", false);
        return;
    case 156: sciMode = true; return;
    default:
        // DP . and DP CHS, the tape codes and undefined codes: only the preamble.
        return;
    }
}

} // namespace vx
