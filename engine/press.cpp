// SPDX-License-Identifier: GPL-3.0-or-later
// The one way in for a key: gating, the prefix assembler and routing by mode.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

namespace {

using A = Assembled;
using PK = Prefix::Kind;

Assembled pending() {
    return A::of(A::Kind::pending);
}

// The arithmetic modifier a key adds to STORE, RECALL or EXCHANGE (0: none).
int modifierOf(Key key) {
    switch (key.kind) {
    case KeyKind::plus: return 1;
    case KeyKind::minus: return 2;
    case KeyKind::times: return 3;
    case KeyKind::divide: return 4;
    case KeyKind::power: return 5;
    default: return 0;
    }
}

// The condition bit a key adds to JUMP or BRANCH (0: none).
// A new empty place at `step`; the last of the 416 falls off.
template <class T>
void insertAt(std::vector<T>& steps, int step, T empty) {
    steps.insert(steps.begin() + (step - 1), empty);
    steps.pop_back();
}

// The place at `step` goes; an empty one comes in at the end.
template <class T>
void removeAt(std::vector<T>& steps, int step, T empty) {
    steps.erase(steps.begin() + (step - 1));
    steps.push_back(empty);
}

int conditionBitOf(Key key) {
    switch (key.kind) {
    case KeyKind::plus: return 1;
    case KeyKind::minus: return 2;
    case KeyKind::equals: return 4;
    default: return 0;
    }
}

} // namespace

Assembled Engine::assemble(Key key) {
    const Prefix p = prefix_;
    if (p.kind == PK::none) return assemblePlain(key);
    if (p.kind == PK::f) return assembleShifted(key);
    if (p.kind == PK::reg) return assembleRegister(p, key);
    if (p.kind == PK::cond) return assembleCondition(p, key);

    // DP, LABEL and the metric keys take one index key.
    prefix_ = Prefix::none();
    std::optional<int> index = p.kind == PK::label ? labelIndex(model_, key) : operandIndex(key);
    if (p.kind == PK::metric && index && *index >= Codes::metricUnits) index.reset();
    // A key that does not fit the pending prefix drops it and is taken afresh.
    if (!index) return assemble(key);
    const int base = p.kind == PK::setDP ? Codes::decimals : p.kind == PK::label ? Codes::label : p.base;
    return A::makeCode(base + *index);
}

Assembled Engine::assemblePlain(Key key) {
    switch (key.kind) {
    case KeyKind::f: prefix_ = Prefix::make(PK::f); return pending();
    case KeyKind::setDP: prefix_ = Prefix::make(PK::setDP); return pending();
    case KeyKind::store: prefix_ = Prefix::reg(Codes::store); return pending();
    case KeyKind::recall: prefix_ = Prefix::reg(Codes::recall); return pending();
    case KeyKind::exchange: prefix_ = Prefix::reg(Codes::exchange); return pending();
    case KeyKind::toMetric: prefix_ = Prefix::metric(Codes::toMetric); return pending();
    case KeyKind::jump: prefix_ = Prefix::cond(Codes::jump, 0); return pending();
    case KeyKind::back: return A::of(A::Kind::back);
    case KeyKind::fwd: return A::of(A::Kind::fwd);
    case KeyKind::insert: return A::of(A::Kind::insert);
    default:
        if (auto c = plainCode(key)) return A::makeCode(*c);
        return A::of(A::Kind::ignored);
    }
}

Assembled Engine::assembleShifted(Key key) {
    prefix_ = Prefix::none();
    switch (key.kind) {
    case KeyKind::f: return A::of(A::Kind::ignored);
    case KeyKind::toMetric: prefix_ = Prefix::metric(Codes::fromMetric); return pending();
    case KeyKind::fwd: prefix_ = Prefix::make(PK::label); return pending();
    case KeyKind::jump: prefix_ = Prefix::cond(Codes::branch, 0); return pending();
    case KeyKind::insert: return A::of(A::Kind::remove);
    default:
        if (auto c = shiftedCode(key)) return A::makeCode(*c);
        return A::of(A::Kind::ignored);
    }
}

// STORE, RECALL, EXCHANGE: an optional modifier, then the register. The 412
// takes two digits and F for indirect addressing, the 410 one index key.
Assembled Engine::assembleRegister(const Prefix& p, Key key) {
    const int modifier = modifierOf(key);
    if (!p.ind && !p.digit && modifier) {
        prefix_ = Prefix::reg(p.base, modifier);
        return pending();
    }
    if (twoDigitRegisters(model_)) {
        if (key.kind == KeyKind::f && !p.ind && !p.digit) {
            prefix_ = Prefix::reg(p.base, p.off, true);
            return pending();
        }
        if (!key.isDigit()) {
            prefix_ = Prefix::none();
            return assemble(key);
        }
        if (!p.digit) {
            prefix_ = Prefix::reg(p.base, p.off, p.ind, key.n);
            return pending();
        }
        prefix_ = Prefix::none();
        return A::makeCode(p.base + p.off, p.provisionalOperand() + key.n);
    }
    prefix_ = Prefix::none();
    auto index = operandIndex(key);
    if (!index || *index >= registerCount(model_)) return assemble(key);
    return A::makeCode(p.base + p.off, *index);
}

// JUMP and BRANCH: any of + − =, then a label or START/STOP for step 1.
Assembled Engine::assembleCondition(const Prefix& p, Key key) {
    if (const int bit = conditionBitOf(key)) {
        prefix_ = Prefix::cond(p.base, p.bits | bit);
        return pending();
    }
    prefix_ = Prefix::none();
    if (key.kind == KeyKind::startStop) return A::makeCode(p.base + p.bits, Codes::jumpToStart);
    auto index = labelIndex(model_, key);
    if (!index) return assemble(key);
    return A::makeCode(p.base + p.bits, *index);
}

void Engine::press(Key key) {
    if (!power_) return;
    if (running_) {
        if (key.kind == KeyKind::startStop) {
            stopRun();
            bump();
        }
        return;
    }
    if (stepBusy_) return;
    if (listing_) {
        listing_ = false;
        bump();
        return;
    }
    overrideCells_.reset();
    const Assembled result = assemble(key);
    if (mode_ == Mode::load) {
        pressInLoadMode(result);
    } else if (result.kind == Assembled::Kind::code) {
        pressCode(result.code, result.operand);
    } else if (result.kind == Assembled::Kind::fwd) {
        if (mode_ == Mode::step && printerOn_)
            startListing();
        else if (!error_)
            showStep(stepShowSeconds);
    }
    bump();
}

void Engine::pressInLoadMode(const Assembled& result) {
    using AK = Assembled::Kind;
    const bool prefixPrinted = loadPrefixPrinted_;
    loadPrefixPrinted_ = false;
    switch (result.kind) {
    case AK::code:
        // A 412 has printed the prefix keys already; only the operand line follows.
        storeStep(result.code, !result.operand || !prefixPrinted);
        if (result.operand) storeStep(*result.operand, true);
        break;
    case AK::pending:
        loadPrefixPrinted_ = prefixPrinted;
        if (printsEveryLoadKey(model_) && printerOn_ && prefix_.kind != PK::none) {
            printProvisional();
            loadPrefixPrinted_ = true;
        }
        break;
    case AK::back: setCounter(pc_ == 1 ? Codes::steps : pc_ - 1); break;
    case AK::fwd: setCounter(Codes::next(pc_)); break;
    case AK::insert:
        // Breakpoints and counts belong to their steps and move with them.
        insertAt(program_, pc_, Step{});
        insertAt(breakpoints_, pc_, false);
        insertAt(counts_, pc_, std::uint64_t{0});
        break;
    case AK::remove:
        removeAt(program_, pc_, Step{});
        removeAt(breakpoints_, pc_, false);
        removeAt(counts_, pc_, std::uint64_t{0});
        break;
    case AK::ignored: break;
    }
}

void Engine::pressCode(int code, std::optional<int> operand) {
    if (error_) {
        // In the error state only RESET and CLEAR get through.
        if (code == Codes::reset || code == Codes::clear) executeCaught(code, operand);
    } else if (code == Codes::stop) {
        if (mode_ == Mode::step)
            singleStep();
        else
            startRun();
    } else if (Codes::isJump(code) || Codes::isBranch(code)) {
        // A jump keyed by hand only positions the counter.
        if (commitOrRaise() && conditionHolds(Codes::conditionOf(code))) goTo(operand.value_or(0));
    } else if (code == Codes::returnStep || code == Codes::pause || Codes::isLabel(code)) {
        // Return, pause and labels keyed by hand do nothing.
    } else {
        if (Codes::isEntry(code)) entryFlag_ = true;
        executeCaught(code, operand);
    }
}

void Engine::showStep(double seconds) {
    showTemporarily(Formatter::loadCells(codeText(pc_ - 2), pc_, codeText(pc_ - 1), codeText(pc_)), seconds);
}

void Engine::setCounter(int step) {
    if (step >= 1 && step <= Codes::steps) pc_ = step;
}

void Engine::executeCaught(int code, std::optional<int> operand) {
    try {
        execute(code, operand);
    } catch (const CalcError&) {
        raiseError();
    }
}

bool Engine::conditionHolds(int bits) {
    if (bits == 0) return true;
    if (bits == Codes::conditions - 1) {
        // All three conditions together ask whether a number was keyed since the last stop.
        const bool was = entryFlag_;
        entryFlag_ = false;
        return was;
    }
    return ((bits & 1) && E_.v > 0) || ((bits & 2) && E_.v < 0) || ((bits & 4) && E_.v == 0);
}

} // namespace vx
