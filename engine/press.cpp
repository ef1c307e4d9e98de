// SPDX-License-Identifier: GPL-3.0-or-later
// The one way in for a key: gating, the prefix assembler and routing by mode.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

Assembled Engine::assemble(Key key) {
    using A = Assembled;
    using PK = Prefix::Kind;
    const Prefix p = prefix;
    // A key that does not fit the pending prefix drops it and is taken afresh.
    auto redispatch = [&] {
        prefix = Prefix::none();
        return assemble(key);
    };

    switch (p.kind) {
    case PK::none:
        switch (key.kind) {
        case K::f: prefix = Prefix::make(PK::f); return A::of(A::Kind::pending);
        case K::setDP: prefix = Prefix::make(PK::setDP); return A::of(A::Kind::pending);
        case K::store: prefix = Prefix::reg(192); return A::of(A::Kind::pending);
        case K::recall: prefix = Prefix::reg(200); return A::of(A::Kind::pending);
        case K::exchange: prefix = Prefix::reg(208); return A::of(A::Kind::pending);
        case K::toMetric: prefix = Prefix::metric(160); return A::of(A::Kind::pending);
        case K::jump: prefix = Prefix::cond(232, 0); return A::of(A::Kind::pending);
        case K::back: return A::of(A::Kind::back);
        case K::fwd: return A::of(A::Kind::fwd);
        case K::insert: return A::of(A::Kind::insert);
        default:
            if (auto c = Codes::unshifted(key)) return A::makeCode(*c);
            return A::of(A::Kind::ignored);
        }

    case PK::f:
        prefix = Prefix::none();
        switch (key.kind) {
        case K::f: return A::of(A::Kind::ignored);
        case K::toMetric: prefix = Prefix::metric(176); return A::of(A::Kind::pending);
        case K::fwd: prefix = Prefix::make(PK::label); return A::of(A::Kind::pending);
        case K::jump: prefix = Prefix::cond(240, 0); return A::of(A::Kind::pending);
        case K::insert: return A::of(A::Kind::remove);
        default:
            if (auto c = Codes::shifted(key)) return A::makeCode(*c);
            return A::of(A::Kind::ignored);
        }

    case PK::setDP: {
        prefix = Prefix::none();
        auto index = operandIndex(key);
        if (!index) return redispatch();
        return A::makeCode(144 + *index);
    }

    case PK::label: {
        prefix = Prefix::none();
        auto index = labelIndex(model_, key);
        if (!index) return redispatch();
        return A::makeCode(128 + *index);
    }

    case PK::metric: {
        prefix = Prefix::none();
        auto index = operandIndex(key);
        if (!index || *index > 11) return redispatch();
        return A::makeCode(p.base + *index);
    }

    case PK::reg: {
        int modifier = 0;
        switch (key.kind) {
        case K::plus: modifier = 1; break;
        case K::minus: modifier = 2; break;
        case K::times: modifier = 3; break;
        case K::divide: modifier = 4; break;
        case K::power: modifier = 5; break;
        default: break;
        }
        if (!p.ind && !p.digit && modifier) {
            prefix = Prefix::reg(p.base, modifier);
            return A::of(A::Kind::pending);
        }
        if (twoDigitRegisters(model_)) {
            if (key.kind == K::f && !p.ind && !p.digit) {
                prefix = Prefix::reg(p.base, p.off, true);
                return A::of(A::Kind::pending);
            }
            if (!key.isDigit()) return redispatch();
            if (!p.digit) {
                prefix = Prefix::reg(p.base, p.off, p.ind, key.n);
                return A::of(A::Kind::pending);
            }
            prefix = Prefix::none();
            return A::makeCode(p.base + p.off, (p.ind ? 100 : 0) + 10 * *p.digit + key.n);
        }
        prefix = Prefix::none();
        auto index = operandIndex(key);
        if (!index || *index > 11) return redispatch();
        return A::makeCode(p.base + p.off, *index);
    }

    case PK::cond: {
        int bit = key.kind == K::plus ? 1 : key.kind == K::minus ? 2 : key.kind == K::equals ? 4 : 0;
        if (bit) {
            prefix = Prefix::cond(p.base, p.bits | bit);
            return A::of(A::Kind::pending);
        }
        prefix = Prefix::none();
        if (key.kind == K::startStop) return A::makeCode(p.base + p.bits, 27);
        auto index = labelIndex(model_, key);
        if (!index) return redispatch();
        return A::makeCode(p.base + p.bits, *index);
    }
    }
    return A::of(A::Kind::ignored);
}

void Engine::press(Key key) {
    if (!power_) return;
    if (running) {
        if (key.kind == K::startStop) {
            stopRun();
            bump();
        }
        return;
    }
    if (stepBusy) return;
    if (listing) {
        listing = false;
        bump();
        return;
    }
    overrideCells.reset();
    const Assembled result = assemble(key);
    using AK = Assembled::Kind;

    if (mode_ == Mode::load) {
        switch (result.kind) {
        case AK::code: {
            bool was = loadPrefixPrinted;
            loadPrefixPrinted = false;
            storeStep(result.code, !result.operand || !was);
            if (result.operand) storeStep(*result.operand, true);
            break;
        }
        case AK::pending:
            if (printsEveryLoadKey(model_) && printerOn_ && prefix.kind != Prefix::Kind::none) {
                printProvisional();
                loadPrefixPrinted = true;
            }
            break;
        case AK::back:
            loadPrefixPrinted = false;
            pc = pc == 1 ? Codes::steps : pc - 1;
            break;
        case AK::fwd:
            loadPrefixPrinted = false;
            pc = pc % Codes::steps + 1;
            break;
        case AK::insert:
            loadPrefixPrinted = false;
            program.insert(program.begin() + (pc - 1), std::nullopt);
            program.pop_back();
            break;
        case AK::remove:
            loadPrefixPrinted = false;
            program.erase(program.begin() + (pc - 1));
            program.push_back(std::nullopt);
            break;
        case AK::ignored: loadPrefixPrinted = false; break;
        }
        bump();
        return;
    }

    if (result.kind == AK::code) {
        const int c = result.code;
        const std::optional<int> op = result.operand;
        if (error) {
            // In the error state only RESET and CLEAR get through.
            if (c == 30 || c == 31) executeCaught(c, op);
        } else if (c == 27) {
            if (mode_ == Mode::step)
                singleStep();
            else
                startRun();
        } else if (c >= 232 && c <= 247) {
            // A jump keyed by hand only positions the counter.
            if (commitOrRaise() && conditionHolds(c & 7)) goTo(op.value_or(0));
        } else if (c == 24 || c == 76 || (c >= 128 && c <= 143)) {
            // Return, pause and labels keyed by hand do nothing.
        } else {
            if (c <= 13) entryFlag = true;
            executeCaught(c, op);
        }
    } else if (result.kind == AK::fwd) {
        if (mode_ == Mode::step && printerOn_) {
            startListing();
        } else if (!error) {
            showTemporarily(Formatter::loadCells(codeText(pc - 2), pc, codeText(pc - 1), codeText(pc)), 1.5);
        }
    }
    bump();
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
    if (bits == 7) {
        bool was = entryFlag;
        entryFlag = false;
        return was;
    }
    return ((bits & 1) && E.v > 0) || ((bits & 2) && E.v < 0) || ((bits & 4) && E.v == 0);
}

} // namespace vx
