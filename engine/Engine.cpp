// SPDX-License-Identifier: GPL-3.0-or-later
// Machine lifecycle: construction, the blink timer, power, model and mode.
#include "engine/Engine.h"

namespace vx {

Engine::Engine(Scheduler& scheduler, Settings& settings, Random& random)
    : scheduler_(scheduler), settings_(settings), random_(random) {
    sw_.model = savedModel(settings);
    do paper_.tearSeed = random_.next32();
    while (paper_.tearSeed == 0);
    mem_ = MachineState::Memory::cleared(sw_.model);
    // The display flashes while a program runs; the timer runs for the
    // machine's whole life and only flips the phase during a run.
    timed_.blinkTimer = scheduler_.every(blinkSeconds, [this] {
        if (!timed_.running) return;
        timed_.blinkOn = !timed_.blinkOn;
        bump();
    });
}

Engine::~Engine() {
    scheduler_.cancel(timed_.blinkTimer);
    for (auto* task : {&timed_.runTask, &timed_.stepTask, &timed_.listingTask, &timed_.overrideTask})
        if (*task) scheduler_.cancel(**task);
}

void Engine::bump() {
    for (auto& listener : listeners_) listener.second();
}

void Engine::setBreakpoint(int step, bool on) {
    if (step < 1 || step > Codes::steps) return;
    mem_.program.setBreakpoint(step, on);
    bump();
}

void Engine::clearBreakpoints() {
    mem_.program.clearBreakpoints();
    bump();
}

void Engine::resetExecutionCounts() {
    mem_.program.resetCounts();
    bump();
}

std::uint64_t Engine::newLineId() {
    return (static_cast<std::uint64_t>(random_.next32()) << 32) | random_.next32();
}

void Engine::clearMachine() {
    calc_ = calc_.cleared();
    mem_ = MachineState::Memory::cleared(sw_.model);
    timed_.overrideCells.reset();
}

void Engine::select(Model m) {
    if (m == sw_.model) return;
    stopRun();
    timed_.listing = false;
    sw_.model = m;
    saveModel(settings_, m);
    for (auto& listener : modelListeners_) listener(m);
    clearMachine();
    bump();
}

void Engine::setPower(bool on) {
    // Only a real change of the switch clears the machine: a click on the
    // position it already has must not wipe the program memory.
    if (on == sw_.power) return;
    sw_.power = on;
    if (!on) stopRun();
    clearMachine();
    bump();
}

void Engine::setMode(Mode m) {
    sw_.mode = m;
    modeChanged();
}

void Engine::modeChanged() {
    calc_.dropPrefix();
    if (sw_.mode == Mode::load) {
        stopRun();
        commitOrRaise();
    }
    bump();
}

void Engine::setPrinterOn(bool on) {
    sw_.printerOn = on;
    bump();
}

void Engine::setGradMode(bool on) {
    sw_.gradMode = on;
    bump();
}

void Engine::setTapeWritesProgram(bool on) {
    sw_.tapeWritesProgram = on;
    bump();
}

} // namespace vx
