// SPDX-License-Identifier: GPL-3.0-or-later
// Machine lifecycle: construction, the blink timer, power, model and mode.
#include "engine/Engine.h"

namespace vx {

Engine::Engine(Scheduler& scheduler, Settings& settings, Random& random)
    : scheduler_(scheduler), settings_(settings), random_(random), model_(savedModel(settings)) {
    do tearSeed = random_.next32();
    while (tearSeed == 0);
    regs.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
    program.assign(Codes::steps, std::nullopt);
    // The display flashes while a program runs; the timer runs for the
    // machine's whole life and only flips the phase during a run.
    blinkTimer_ = scheduler_.every(blinkSeconds, [this] {
        if (!running) return;
        blinkOn = !blinkOn;
        changed();
    });
}

Engine::~Engine() {
    scheduler_.cancel(blinkTimer_);
    for (auto* task : {&runTask, &stepTask_, &listingTask_, &overrideTask_})
        if (*task) scheduler_.cancel(**task);
}

void Engine::changed() {
    for (auto& entry : listeners_) entry.second();
}

void Engine::bump() {
    ++tick;
    changed();
}

std::uint64_t Engine::newLineId() {
    return (static_cast<std::uint64_t>(random_.next32()) << 32) | random_.next32();
}

void Engine::clearMachine() {
    E = Num::zero;
    entry.reset();
    numOp.reset();
    pendingExec = false;
    parens.clear();
    regs.assign(static_cast<std::size_t>(registerCount(model_)), Num::zero);
    dp = 4;
    sciMode = false;
    error = false;
    identMode = false;
    entryReady = true;
    polar.reset();
    sigmaPending.reset();
    program.assign(Codes::steps, std::nullopt);
    pc = 1;
    returnStack.clear();
    prefix = Prefix::none();
    overrideCells.reset();
    loadPrefixPrinted = false;
}

void Engine::select(Model m) {
    if (m == model_) return;
    stopRun();
    listing = false;
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
    prefix = Prefix::none();
    loadPrefixPrinted = false;
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
