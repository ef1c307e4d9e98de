// SPDX-License-Identifier: GPL-3.0-or-later
// Algebraic evaluation strictly left to right, parentheses and the error state.
#include "engine/Engine.h"

namespace vx {

void Engine::binaryOp(Op op, int code) {
    polar_.reset();
    printNumber(E_, Codes::symbol(code), false);
    // Each operation key completes the one pending at its level first: no precedence.
    if (pendingExec_ && numOp_) E_ = compute(numOp_->first, E_, numOp_->second);
    numOp_ = std::make_pair(E_, op);
    pendingExec_ = true;
}

void Engine::equals() {
    if (polar_) {
        // After a coordinate conversion "=" alternates between the two results.
        E_ = polar_->showB ? polar_->b : polar_->a;
        polar_->showB = !polar_->showB;
        printNumber(E_, "", false);
        return;
    }
    printNumber(E_, "=", false);
    if (numOp_) {
        if (numOp_->second == Op::toPolar || numOp_->second == Op::toRect)
            convertPair(numOp_->first, numOp_->second);
        else
            E_ = compute(numOp_->first, E_, numOp_->second);
    }
    pendingExec_ = false;
    printNumber(E_, "", false);
}

void Engine::openParen() {
    polar_.reset();
    if (parens_.size() >= maxParens) throw CalcError{};
    parens_.push_back(ParenLevel{numOp_, pendingExec_});
    numOp_.reset();
    pendingExec_ = false;
    printNumber(E_, "( " + std::to_string(parens_.size()), false);
}

void Engine::closeParen() {
    polar_.reset();
    if (parens_.empty()) throw CalcError{};
    printNumber(E_, ") " + std::to_string(parens_.size()), false);
    if (pendingExec_ && numOp_) E_ = compute(numOp_->first, E_, numOp_->second);
    numOp_ = parens_.back().numOp;
    pendingExec_ = parens_.back().pendingExec;
    parens_.pop_back();
}

void Engine::raiseError() {
    errorSaved_ = E_;
    error_ = true;
    appendLine("ERROR", "", true, false);
    stopRun();
}

} // namespace vx
