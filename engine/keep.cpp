// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the machine: stopping it at rest, giving its whole state as one
// value and taking such a value back.
#include "engine/Engine.h"

#include <cmath>

namespace vx {

void Engine::stopActivity() {
    stopRun(RunEnd::kept);
    for (auto* task : {&timed_.stepTask, &timed_.listingTask, &timed_.overrideTask}) {
        if (*task) scheduler_.cancel(**task);
        task->reset();
    }
    // A single step not yet carried out is dropped, as a mode change would.
    timed_.stepBusy = false;
    timed_.listing = false;
    timed_.overrideCells.reset();
    ++timed_.overrideToken;
    bump();
}

MachineState Engine::state() const {
    MachineState s;
    s.switches = sw_;
    s.paper = paper_;
    s.calculation = calc_;
    s.memory = mem_;
    s.record = {lastRun_.steps, lastRun_.originalNanos};
    return s;
}

MachineState Engine::bareState() const {
    MachineState s;
    s.switches = sw_;
    s.paper.tearSeed = paper_.tearSeed;
    s.calculation = calc_;
    s.memory = mem_;
    s.record = {lastRun_.steps, lastRun_.originalNanos};
    return s;
}

namespace {

bool inRange(const Num& n) {
    return std::isfinite(n.v) && std::fabs(n.v) < 1e100;
}

bool digitsOnly(const std::string& s, std::size_t most) {
    if (s.size() > most) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool possibleEntry(const Entry& e) {
    std::string digits;
    int points = 0;
    for (char c : e.mant) {
        if (c == '.')
            ++points;
        else
            digits += c;
    }
    if (points > 1 || !digitsOnly(digits, 20) || !digitsOnly(e.exp, 2) || e.dmsParts.size() > 2) return false;
    for (const std::string& part : e.dmsParts)
        if (!digitsOnly(part, 20)) return false;
    return true;
}

// Only what keys can leave half-keyed: each kind with the codes it starts
// from, a modifier only on a register key, the indirect mark and a first
// register digit only on the 412, condition bits only on JUMP and BRANCH.
// Anything else would assemble a code the machine does not have.
bool possiblePrefix(const Prefix& p, Model model) {
    using K = Prefix::Kind;
    const bool plainRest = p.off == 0 && !p.ind && !p.digit && p.bits == 0;
    switch (p.kind) {
    case K::none:
    case K::f:
    case K::setDP:
    case K::label: return p.base == 0 && plainRest;
    case K::metric: return (p.base == Codes::toMetric || p.base == Codes::fromMetric) && plainRest;
    case K::reg:
        return (p.base == Codes::store || p.base == Codes::recall || p.base == Codes::exchange) &&
               p.off >= 0 && p.off < Codes::modifiers && p.bits == 0 &&
               (twoDigitRegisters(model) ? !p.digit || (*p.digit >= 0 && *p.digit <= 9) : !p.ind && !p.digit);
    case K::cond:
        return (p.base == Codes::jump || p.base == Codes::branch) && p.off == 0 && !p.ind && !p.digit &&
               p.bits >= 0 && p.bits < Codes::conditions;
    }
    return false;
}

bool possibleLevel(const std::optional<std::pair<Num, Op>>& numOp) {
    return !numOp || inRange(numOp->first);
}

} // namespace

bool Engine::restore(MachineState kept) {
    const auto& c = kept.calculation;
    const auto& m = kept.memory;
    bool fine = m.registers.size() == static_cast<std::size_t>(registerCount(kept.switches.model)) &&
                m.pc >= 1 && m.pc <= Codes::steps &&
                m.returnStack.size() <= static_cast<std::size_t>(returnDepth) &&
                c.parens.size() <= static_cast<std::size_t>(maxParens) && c.dp >= 0 && c.dp <= 9 &&
                inRange(c.E) && inRange(c.errorSaved) && possibleLevel(c.current.numOp) &&
                possiblePrefix(c.prefix, kept.switches.model) && (!c.entry || possibleEntry(*c.entry)) &&
                kept.paper.tearSeed != 0;
    for (int step : m.returnStack) fine = fine && step >= 1 && step <= Codes::steps;
    for (const Step& step : m.program.codes()) fine = fine && (!step || (*step >= 0 && *step < 256));
    for (const Num& r : m.registers) fine = fine && inRange(r);
    for (const ParenLevel& level : c.parens) fine = fine && possibleLevel(level.numOp);
    if (c.polar) fine = fine && inRange(c.polar->a) && inRange(c.polar->b);
    if (c.sigmaPending)
        fine = fine && std::isfinite(c.sigmaPending->x) && std::fabs(c.sigmaPending->sign) == 1;
    fine = fine && kept.record.runOriginalNanos >= 0;
    if (!fine) return false;

    stopActivity();
    const bool newModel = kept.switches.model != sw_.model;
    sw_ = kept.switches;
    paper_ = std::move(kept.paper);
    timed_.blinkOn = true;
    calc_ = std::move(kept.calculation);
    mem_ = std::move(kept.memory);
    lastRun_ = {kept.record.runSteps, kept.record.runOriginalNanos};

    if (newModel) {
        saveModel(settings_, sw_.model);
        for (auto& listener : modelListeners_) listener(sw_.model);
    }
    bump();
    return true;
}

} // namespace vx
