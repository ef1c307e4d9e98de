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
    const Prefix p = calc_.prefix;
    if (p.kind == PK::none) return assemblePlain(key);
    if (p.kind == PK::f) return assembleShifted(key);
    if (p.kind == PK::reg) return assembleRegister(p, key);
    if (p.kind == PK::cond) return assembleCondition(p, key);

    // DP, LABEL and the metric keys take one index key.
    calc_.prefix = Prefix::none();
    std::optional<int> index = p.kind == PK::label ? labelIndex(sw_.model, key) : operandIndex(key);
    if (p.kind == PK::metric && index && *index >= Codes::metricUnits) index.reset();
    // A key that does not fit the pending prefix drops it and is taken afresh.
    if (!index) return assemble(key);
    const int base = p.kind == PK::setDP ? Codes::decimals : p.kind == PK::label ? Codes::label : p.base;
    return A::makeCode(base + *index);
}

Assembled Engine::assemblePlain(Key key) {
    switch (key.kind) {
    case KeyKind::f: calc_.prefix = Prefix::make(PK::f); return pending();
    case KeyKind::setDP: calc_.prefix = Prefix::make(PK::setDP); return pending();
    case KeyKind::store: calc_.prefix = Prefix::reg(Codes::store); return pending();
    case KeyKind::recall: calc_.prefix = Prefix::reg(Codes::recall); return pending();
    case KeyKind::exchange: calc_.prefix = Prefix::reg(Codes::exchange); return pending();
    case KeyKind::toMetric: calc_.prefix = Prefix::metric(Codes::toMetric); return pending();
    case KeyKind::jump: calc_.prefix = Prefix::cond(Codes::jump, 0); return pending();
    case KeyKind::back: return A::of(A::Kind::back);
    case KeyKind::fwd: return A::of(A::Kind::fwd);
    case KeyKind::insert: return A::of(A::Kind::insert);
    default:
        if (auto c = plainCode(key)) return A::makeCode(*c);
        return A::of(A::Kind::ignored);
    }
}

Assembled Engine::assembleShifted(Key key) {
    calc_.prefix = Prefix::none();
    switch (key.kind) {
    case KeyKind::f: return A::of(A::Kind::ignored);
    case KeyKind::toMetric: calc_.prefix = Prefix::metric(Codes::fromMetric); return pending();
    case KeyKind::fwd: calc_.prefix = Prefix::make(PK::label); return pending();
    case KeyKind::jump: calc_.prefix = Prefix::cond(Codes::branch, 0); return pending();
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
        calc_.prefix = Prefix::reg(p.base, modifier);
        return pending();
    }
    if (twoDigitRegisters(sw_.model)) {
        if (key.kind == KeyKind::f && !p.ind && !p.digit) {
            calc_.prefix = Prefix::reg(p.base, p.off, true);
            return pending();
        }
        if (!key.isDigit()) {
            calc_.prefix = Prefix::none();
            return assemble(key);
        }
        if (!p.digit) {
            calc_.prefix = Prefix::reg(p.base, p.off, p.ind, key.n);
            return pending();
        }
        calc_.prefix = Prefix::none();
        return A::makeCode(p.base + p.off, p.provisionalOperand() + key.n);
    }
    calc_.prefix = Prefix::none();
    auto index = operandIndex(key);
    if (!index || *index >= registerCount(sw_.model)) return assemble(key);
    return A::makeCode(p.base + p.off, *index);
}

// JUMP and BRANCH: any of + − =, then a label or START/STOP for step 1.
Assembled Engine::assembleCondition(const Prefix& p, Key key) {
    if (const int bit = conditionBitOf(key)) {
        calc_.prefix = Prefix::cond(p.base, p.bits | bit);
        return pending();
    }
    calc_.prefix = Prefix::none();
    if (key.kind == KeyKind::startStop) return A::makeCode(p.base + p.bits, Codes::jumpToStart);
    auto index = labelIndex(sw_.model, key);
    if (!index) return assemble(key);
    return A::makeCode(p.base + p.bits, *index);
}

void Engine::press(Key key) {
    // A key clicks whether or not the machine takes it.
    const bool taken = sw_.power && !timed_.stepBusy && (!timed_.running || key.kind == KeyKind::startStop);
    tellKey(key, taken);
    if (!sw_.power) return;
    if (timed_.running) {
        if (key.kind == KeyKind::startStop) {
            stopRun(RunEnd::key);
            bump();
        }
        return;
    }
    if (timed_.stepBusy) return;
    if (timed_.listing) {
        timed_.listing = false;
        bump();
        return;
    }
    timed_.overrideCells.reset();
    const Assembled result = assemble(key);
    if (sw_.mode == Mode::load) {
        pressInLoadMode(result);
    } else if (result.kind == Assembled::Kind::code) {
        pressCode(result.code, result.operand);
    } else if (result.kind == Assembled::Kind::fwd) {
        if (sw_.mode == Mode::step && sw_.printerOn)
            startListing();
        else if (!calc_.error)
            showStep(stepShowSeconds);
    }
    bump();
}

void Engine::pressInLoadMode(const Assembled& result) {
    using AK = Assembled::Kind;
    const bool prefixPrinted = calc_.loadPrefixPrinted;
    calc_.loadPrefixPrinted = false;
    switch (result.kind) {
    case AK::code:
        // A 412 has printed the prefix keys already; only the operand line follows.
        storeStep(result.code, !result.operand || !prefixPrinted);
        if (result.operand) storeStep(*result.operand, true);
        break;
    case AK::pending:
        calc_.loadPrefixPrinted = prefixPrinted;
        if (printsEveryLoadKey(sw_.model) && sw_.printerOn && calc_.prefix.kind != PK::none) {
            printProvisional();
            calc_.loadPrefixPrinted = true;
        }
        break;
    case AK::back: setCounter(mem_.pc == 1 ? Codes::steps : mem_.pc - 1); break;
    case AK::fwd: setCounter(Codes::next(mem_.pc)); break;
    case AK::insert: mem_.program.insert(mem_.pc); break;
    case AK::remove: mem_.program.remove(mem_.pc); break;
    case AK::ignored: break;
    }
}

void Engine::pressCode(int code, std::optional<int> operand) {
    if (calc_.error) {
        // In the error state only RESET and CLEAR get through.
        if (code == Codes::reset || code == Codes::clear) executeCaught(code, operand);
    } else if (code == Codes::stop) {
        if (sw_.mode == Mode::step)
            singleStep();
        else
            startRun();
    } else if (Codes::isJump(code) || Codes::isBranch(code)) {
        // A jump keyed by hand only positions the counter.
        if (commitOrRaise() && conditionHolds(Codes::conditionOf(code))) goTo(operand.value_or(0));
    } else if (code == Codes::returnStep || code == Codes::pause || Codes::isLabel(code)) {
        // Return, pause and labels keyed by hand do nothing.
    } else {
        if (Codes::isEntry(code)) calc_.entryFlag = true;
        executeCaught(code, operand);
    }
}

void Engine::showStep(double seconds) {
    showTemporarily(
        Formatter::loadCells(codeText(mem_.pc - 2), mem_.pc, codeText(mem_.pc - 1), codeText(mem_.pc)),
        seconds);
}

void Engine::setCounter(int step) {
    if (step >= 1 && step <= Codes::steps) mem_.pc = step;
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
        const bool was = calc_.entryFlag;
        calc_.entryFlag = false;
        return was;
    }
    return ((bits & 1) && calc_.E.v > 0) || ((bits & 2) && calc_.E.v < 0) || ((bits & 4) && calc_.E.v == 0);
}

} // namespace vx
