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

int Engine::addListener(Listener listener) {
    if (listeners_.empty()) published_ = publishedNow();
    listeners_.emplace_back(++lastListener_, std::move(listener));
    return lastListener_;
}

void Engine::tell(const MachineEvent& event) {
    if (quiet_) return;
    for (const auto& listener : listeners_) listener.second(event);
}

void Engine::tellKey(Key key, bool taken) {
    if (listeners_.empty()) return;
    MachineEvent event = MachineEvent::of(MachineEvent::Kind::key);
    event.key = key;
    event.taken = taken;
    event.at = scheduler_.now();
    tell(event);
}

void Engine::tellSwitch(SwitchId which) {
    if (listeners_.empty()) return;
    MachineEvent event = MachineEvent::of(MachineEvent::Kind::switched);
    event.which = which;
    tell(event);
}

Engine::Published Engine::publishedNow() const {
    return {shown(),
            paper_.tape.printed(),
            paper_.tearSeed,
            sw_,
            timed_.running,
            timed_.paused,
            timed_.stepBusy,
            timed_.listing,
            mem_.program,
            mem_.pc,
            mem_.returnStack,
            mem_.registers,
            calc_};
}

// The one place that finds out what changed: every view is told the parts,
// and none needs a copy of its own to compare with.
void Engine::bump() {
    if (listeners_.empty() || quiet_) return;
    Published now = publishedNow();
    const Published& was = published_;
    MachineEvent event;
    Changes& c = event.changes;
    const auto mark = [&c](Part part, bool changed) {
        if (changed) c.parts |= static_cast<unsigned>(part);
    };
    mark(Part::display, now.shown != was.shown);
    mark(Part::tape, now.printed != was.printed || now.tearSeed != was.tearSeed);
    // A roll that got shorter without a tear was taken back (undo): like a
    // tear, the views read it afresh.
    c.torn = now.tearSeed != was.tearSeed || now.printed < was.printed;
    mark(Part::switches, now.switches != was.switches);
    mark(Part::model, now.switches.model != was.switches.model);
    mark(Part::run, now.running != was.running || now.paused != was.paused || now.stepBusy != was.stepBusy ||
                        now.listing != was.listing);
    mark(Part::program, now.program != was.program || now.pc != was.pc || now.returns != was.returns);
    mark(Part::calculation, now.calculation != was.calculation);
    if (now.registers != was.registers) {
        c.parts |= static_cast<unsigned>(Part::registers);
        for (std::size_t i = 0; i < now.registers.size(); ++i)
            if (i >= was.registers.size() || now.registers[i] != was.registers[i])
                c.registers.push_back(static_cast<int>(i));
    }
    if (!c.any()) return;
    c.shown = now.shown;
    published_ = std::move(now);
    tell(event);
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
    stopRun(RunEnd::switched);
    timed_.listing = false;
    tellSwitch(SwitchId::model);
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
    tellSwitch(SwitchId::power);
    sw_.power = on;
    if (!on) stopRun(RunEnd::switched);
    clearMachine();
    bump();
}

void Engine::setMode(Mode m) {
    tellSwitch(SwitchId::mode);
    sw_.mode = m;
    modeChanged();
}

void Engine::modeChanged() {
    calc_.dropPrefix();
    if (sw_.mode == Mode::load) {
        stopRun(RunEnd::switched);
        commitOrRaise();
    }
    bump();
}

void Engine::setPrinterOn(bool on) {
    tellSwitch(SwitchId::printer);
    sw_.printerOn = on;
    bump();
}

void Engine::setGradMode(bool on) {
    tellSwitch(SwitchId::angle);
    sw_.gradMode = on;
    bump();
}

void Engine::setTapeWritesProgram(bool on) {
    tellSwitch(SwitchId::tape);
    sw_.tapeWritesProgram = on;
    bump();
}

} // namespace vx
