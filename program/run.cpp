// SPDX-License-Identifier: GPL-3.0-or-later
// Running the stored program at the machine's pace, single steps, labels and
// the timed display override. Every wait is a scheduler callback; stopping
// cancels the pending one, so nothing outlives the engine or a stop.
#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "program/ProgramFacts.h"

namespace vx {

void Engine::startRun() {
    if (!commitOrRaise()) return;
    timed_.running = true;
    tell(MachineEvent::of(MachineEvent::Kind::runStarted));
    lastRun_ = RunFigures{};
    timed_.firstStepOfRun = true;
    timed_.blinkOn = true;
    if (timed_.runTask) scheduler_.cancel(*timed_.runTask);
    timed_.runTask = scheduler_.after(0, [this] { runSlice(); });
}

void Engine::stopRun(RunEnd why) {
    if (timed_.running) {
        MachineEvent event = MachineEvent::of(MachineEvent::Kind::runEnded);
        event.why = why;
        tell(event);
    }
    timed_.running = false;
    timed_.paused = false;
    if (timed_.runTask) scheduler_.cancel(*timed_.runTask);
    timed_.runTask.reset();
}

// One slice of the original: up to 12 steps, ending early at a printed line
// or a PAUSE. Both tempos run the same slices, so they compute the same.
Engine::Slice Engine::slice(std::uint64_t until) {
    if (sliceStarts_) sliceStarts_();
    const std::uint64_t before = paper_.tape.printed();
    Slice done;
    for (int i = 0; i < stepsPerSlice; ++i) {
        if (!timed_.running || lastRun_.steps >= until) break;
        if (executeStep()) {
            done.paused = true;
            break;
        }
        if (paper_.tape.printed() != before) break;
    }
    done.newLines = static_cast<std::ptrdiff_t>(paper_.tape.printed() - before);
    return done;
}

// A wait of the original has passed: the run's time on the original grows
// by it. Counted when it has passed, so a run stopped during a wait counts
// only what had elapsed of the waits before.
void Engine::waited(double seconds) {
    lastRun_.originalNanos += toNanos(seconds);
}

void Engine::runSlice() {
    timed_.runTask.reset();
    if (!timed_.running) return;
    if (tempo_ == Tempo::fast) {
        runFast();
        return;
    }
    const Slice done = slice();
    bump();
    // Stopped inside the slice (STOP, an error, an empty memory): nothing follows.
    if (!timed_.running) return;
    afterSlice(done.newLines, done.paused);
}

// Slices one after the other without their waits, counting the waits the
// original would have taken, until a chunk is done; then the host's event
// loop turns before the next chunk.
void Engine::runFast() {
    const std::uint64_t first = lastRun_.steps;
    std::ptrdiff_t lines = 0;
    while (lastRun_.steps - first < fastChunkSteps && lines < fastChunkLines) {
        const Slice done = slice();
        lines += done.newLines;
        if (!timed_.running) {
            bump();
            return;
        }
        // PAUSE is there for the person watching: it keeps its time.
        countWaits(done, false);
        if (done.paused) {
            bump();
            endPause();
            return;
        }
    }
    bump();
    timed_.runTask = scheduler_.after(0, [this] { runSlice(); });
}

// Runs a run restored at the start of one of its slices on to its step
// `steps` (or its end), slice by slice as the original did and counting the
// original's waits, but without waiting and without telling anyone: the
// history's way to any step of a run it has seen.
void Engine::replayTo(std::uint64_t steps) {
    quiet_ = true;
    const auto starts = std::exchange(sliceStarts_, nullptr);
    timed_.running = true;
    timed_.firstStepOfRun = lastRun_.steps == 0;
    while (timed_.running && lastRun_.steps < steps) {
        const Slice done = slice(steps);
        if (!timed_.running || lastRun_.steps >= steps) break;
        countWaits(done, true);
    }
    timed_.running = false;
    timed_.paused = false;
    sliceStarts_ = starts;
    quiet_ = false;
}

// Counts the waits the original takes after a slice, without waiting: the
// printer's time for its lines, then PAUSE's (when `pause`) or, after a slice
// that printed nothing, the short wait between slices.
void Engine::countWaits(const Slice& done, bool pause) {
    if (done.newLines > 0) waited(static_cast<double>(done.newLines) * printLineSeconds);
    if (done.paused) {
        if (pause) waited(pauseSeconds);
    } else if (done.newLines == 0) {
        waited(sliceWaitSeconds);
    }
}

void Engine::afterSlice(std::ptrdiff_t newLines, bool pausedSlice) {
    if (newLines > 0) {
        // The printer needs half a second per line; the program waits for it.
        const double seconds = static_cast<double>(newLines) * printLineSeconds;
        timed_.runTask = scheduler_.after(seconds, [this, pausedSlice, seconds] {
            timed_.runTask.reset();
            if (!timed_.running) return;
            waited(seconds);
            if (pausedSlice)
                endPause();
            else
                runSlice();
        });
    } else if (pausedSlice) {
        endPause();
    } else {
        timed_.runTask = scheduler_.after(sliceWaitSeconds, [this] {
            waited(sliceWaitSeconds);
            runSlice();
        });
    }
}

void Engine::endPause() {
    timed_.paused = true;
    bump();
    timed_.runTask = scheduler_.after(pauseSeconds, [this] {
        timed_.runTask.reset();
        timed_.paused = false;
        waited(pauseSeconds);
        runSlice();
    });
}

bool Engine::executeStep() {
    const auto at = [this](int step) { return mem_.program.at(step); };
    int skipped = 0;
    while (!at(mem_.pc)) {
        mem_.pc = Codes::next(mem_.pc);
        if (++skipped >= Codes::steps) {
            // The whole memory is empty: the counter went once round.
            stopRun(RunEnd::emptyMemory);
            return false;
        }
    }
    const int step = mem_.pc;
    // A breakpoint stops a run before its step, as a STOP step would. A run
    // never stops on its first step: the START STOP that continues after a
    // breakpoint executes that step.
    const bool firstOfRun = timed_.firstStepOfRun;
    timed_.firstStepOfRun = false;
    if (timed_.running && !firstOfRun && mem_.program.breakpoint(step)) {
        mem_.pc = step;
        commitOrRaise();
        calc_.entryFlag = false;
        stopRun(RunEnd::breakpoint);
        return false;
    }
    const int code = *at(mem_.pc);
    mem_.program.counted(step);
    if (timed_.running) ++lastRun_.steps;
    mem_.pc = Codes::next(mem_.pc);
    std::optional<int> operand;
    if (Codes::needsOperand(code)) {
        operand = at(mem_.pc).value_or(0);
        mem_.pc = Codes::next(mem_.pc);
    }
    if (const std::optional<bool> paused = controlStep(code, operand)) return *paused;
    timed_.suppressPrint = timed_.running;
    timed_.printingStep = step;
    executeCaught(code, operand);
    timed_.printingStep = 0;
    timed_.suppressPrint = false;
    return false;
}

// The codes that steer the run: STOP, jumps, branches, RETURN, labels and
// PAUSE. Answers whether the run pauses, or nothing for any other code.
std::optional<bool> Engine::controlStep(int code, std::optional<int> operand) {
    if (code == Codes::stop) {
        commitOrRaise();
        calc_.entryFlag = false;
        stopRun(RunEnd::stopStep);
        return false;
    }
    if (Codes::isBranch(code)) {
        if (!commitOrRaise() || !conditionHolds(Codes::conditionOf(code))) return false;
        if (static_cast<int>(mem_.returnStack.size()) >= returnDepth) {
            raiseError();
            return false;
        }
        mem_.returnStack.push_back(mem_.pc);
        goTo(*operand);
        return false;
    }
    if (Codes::isJump(code)) {
        if (commitOrRaise() && conditionHolds(Codes::conditionOf(code))) goTo(*operand);
        return false;
    }
    if (code == Codes::returnStep) {
        if (mem_.returnStack.empty()) {
            mem_.pc = 1;
        } else {
            mem_.pc = mem_.returnStack.back();
            mem_.returnStack.pop_back();
        }
        return false;
    }
    if (Codes::isLabel(code)) return false;
    if (code == Codes::pause) return commitOrRaise();
    return std::nullopt;
}

void Engine::goTo(int label) {
    if (label == Codes::jumpToStart) {
        mem_.pc = 1;
        return;
    }
    // A label that is not there sends the run to step 1.
    mem_.pc = ProgramFacts::labelStep(mem_.program.codes(), sw_.model, label).value_or(1);
}

void Engine::singleStep() {
    if (!commitOrRaise()) return;
    timed_.stepBusy = true;
    timed_.overrideCells =
        Formatter::loadCells(codeText(mem_.pc - 2), mem_.pc, codeText(mem_.pc - 1), codeText(mem_.pc));
    const std::uint64_t token = ++timed_.overrideToken;
    bump();
    timed_.stepTask = scheduler_.after(singleStepSeconds, [this, token] {
        timed_.stepTask.reset();
        if (timed_.overrideToken == token) timed_.overrideCells.reset();
        timed_.stepBusy = false;
        // A machine switched off meanwhile neither prints nor executes.
        if (sw_.mode == Mode::step && sw_.power) {
            timed_.printingStep = mem_.pc;
            if (sw_.printerOn) printListing(mem_.pc, false);
            timed_.printingStep = 0;
            executeStep();
        }
        bump();
    });
}

void Engine::showTemporarily(std::vector<Cell> cells, double seconds) {
    timed_.overrideCells = std::move(cells);
    const std::uint64_t token = ++timed_.overrideToken;
    if (timed_.overrideTask) scheduler_.cancel(*timed_.overrideTask);
    timed_.overrideTask = scheduler_.after(seconds, [this, token] {
        timed_.overrideTask.reset();
        if (timed_.overrideToken != token) return;
        timed_.overrideCells.reset();
        bump();
    });
}

} // namespace vx
