// SPDX-License-Identifier: GPL-3.0-or-later
// Machine lifecycle: construction, the blink timer, power, model and mode.
#include "engine/Engine.h"

namespace vx {

Engine::Engine(Scheduler& scheduler, Settings& settings, Random& random)
    : scheduler_(scheduler), settings_(settings), random_(random), model_(savedModel(settings)) {
    do tearSeed_ = random_.next32();
    while (tearSeed_ == 0);
    regs_.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
    program_.assign(Codes::steps, std::nullopt);
    counts_.assign(Codes::steps, 0);
    breakpoints_.assign(Codes::steps, false);
    // The display flashes while a program runs; the timer runs for the
    // machine's whole life and only flips the phase during a run.
    blinkTimer_ = scheduler_.every(blinkSeconds, [this] {
        if (!running_) return;
        blinkOn_ = !blinkOn_;
        changed();
    });
}

Engine::~Engine() {
    scheduler_.cancel(blinkTimer_);
    for (auto* task : {&runTask_, &stepTask_, &listingTask_, &overrideTask_})
        if (*task) scheduler_.cancel(**task);
}

void Engine::changed() {
    for (auto& listener : listeners_) listener.second();
}

void Engine::setBreakpoint(int step, bool on) {
    if (step < 1 || step > Codes::steps) return;
    breakpoints_[static_cast<std::size_t>(step - 1)] = on;
    bump();
}

void Engine::clearBreakpoints() {
    breakpoints_.assign(Codes::steps, false);
    bump();
}

void Engine::resetExecutionCounts() {
    counts_.assign(Codes::steps, 0);
    bump();
}

void Engine::bump() {
    ++tick_;
    changed();
}

std::uint64_t Engine::newLineId() {
    return (static_cast<std::uint64_t>(random_.next32()) << 32) | random_.next32();
}

void Engine::clearMachine() {
    E_ = Num::zero;
    entry_.reset();
    numOp_.reset();
    pendingExec_ = false;
    parens_.clear();
    regs_.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
    dp_ = 4;
    sciMode_ = false;
    error_ = false;
    identMode_ = false;
    entryReady_ = true;
    polar_.reset();
    sigmaPending_.reset();
    program_.assign(Codes::steps, std::nullopt);
    counts_.assign(Codes::steps, 0);
    breakpoints_.assign(Codes::steps, false);
    pc_ = 1;
    returnStack_.clear();
    prefix_ = Prefix::none();
    overrideCells_.reset();
    loadPrefixPrinted_ = false;
}

void Engine::select(Model m) {
    if (m == model_) return;
    stopRun();
    listing_ = false;
    model_ = m;
    saveModel(settings_, m);
    for (auto& listener : modelListeners_) listener(m);
    clearMachine();
    bump();
}

void Engine::setPower(bool on) {
    // Only a real change of the switch clears the machine: a click on the
    // position it already has must not wipe the program memory.
    if (on == power_) return;
    power_ = on;
    if (!on) stopRun();
    clearMachine();
    bump();
}

void Engine::setMode(Mode m) {
    mode_ = m;
    modeChanged();
}

void Engine::modeChanged() {
    prefix_ = Prefix::none();
    loadPrefixPrinted_ = false;
    if (mode_ == Mode::load) {
        stopRun();
        commitOrRaise();
    }
    bump();
}

void Engine::setPrinterOn(bool on) {
    printerOn_ = on;
    changed();
}

void Engine::setGradMode(bool on) {
    gradMode_ = on;
    changed();
}

void Engine::setTapeWritesProgram(bool on) {
    tapeWritesProgram_ = on;
    changed();
}

} // namespace vx
