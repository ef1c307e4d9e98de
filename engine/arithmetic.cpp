// SPDX-License-Identifier: GPL-3.0-or-later
// Algebraic evaluation strictly left to right, parentheses and the error state.
#include "engine/Engine.h"

#include <utility>

namespace vx {

void Engine::binaryOp(Op op, int code) {
    calc_.polar.reset();
    printNumber(calc_.E, Codes::symbol(code), false);
    // Each operation key completes the one pending at its level first: no precedence.
    if (calc_.current.pendingExec && calc_.current.numOp)
        calc_.E = compute(calc_.current.numOp->first, calc_.E, calc_.current.numOp->second);
    calc_.current.numOp = std::make_pair(calc_.E, op);
    calc_.current.pendingExec = true;
}

void Engine::equals() {
    if (calc_.polar) {
        // After a coordinate conversion "=" alternates between the two results.
        calc_.E = calc_.polar->showB ? calc_.polar->b : calc_.polar->a;
        calc_.polar->showB = !calc_.polar->showB;
        printNumber(calc_.E, "", false);
        return;
    }
    printNumber(calc_.E, Codes::symbol(Codes::equals), false);
    if (calc_.current.numOp) {
        if (calc_.current.numOp->second == Op::toPolar || calc_.current.numOp->second == Op::toRect)
            convertPair(calc_.current.numOp->first, calc_.current.numOp->second);
        else
            calc_.E = compute(calc_.current.numOp->first, calc_.E, calc_.current.numOp->second);
    }
    calc_.current.pendingExec = false;
    printNumber(calc_.E, "", false);
}

void Engine::openParen() {
    calc_.polar.reset();
    if (calc_.parens.size() >= maxParens) throw CalcError{};
    // The level outside waits on the stack; the new level starts empty.
    calc_.parens.push_back(std::exchange(calc_.current, ParenLevel{}));
    printNumber(calc_.E, "( " + std::to_string(calc_.parens.size()), false);
}

void Engine::closeParen() {
    calc_.polar.reset();
    if (calc_.parens.empty()) throw CalcError{};
    printNumber(calc_.E, ") " + std::to_string(calc_.parens.size()), false);
    if (calc_.current.pendingExec && calc_.current.numOp)
        calc_.E = compute(calc_.current.numOp->first, calc_.E, calc_.current.numOp->second);
    calc_.current = calc_.parens.back();
    calc_.parens.pop_back();
}

void Engine::raiseError() {
    calc_.errorSaved = calc_.E;
    const bool began = !calc_.error;
    calc_.error = true;
    if (began) tell(MachineEvent::of(MachineEvent::Kind::error));
    appendLine("ERROR", "", true, false);
    stopRun(RunEnd::error);
}

} // namespace vx
