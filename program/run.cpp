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
    running_ = true;
    lastRun_ = RunFigures{};
    firstStepOfRun_ = true;
    blinkOn_ = true;
    if (runTask_) scheduler_.cancel(*runTask_);
    runTask_ = scheduler_.after(0, [this] { runSlice(); });
}

void Engine::stopRun() {
    running_ = false;
    paused_ = false;
    if (runTask_) scheduler_.cancel(*runTask_);
    runTask_.reset();
}

// One slice of the original: up to 12 steps, ending early at a printed line
// or a PAUSE. Both tempos run the same slices, so they compute the same.
Engine::Slice Engine::slice() {
    const std::size_t before = tape_.size();
    Slice done;
    for (int i = 0; i < stepsPerSlice; ++i) {
        if (!running_) break;
        if (executeStep()) {
            done.paused = true;
            break;
        }
        if (tape_.size() != before) break;
    }
    done.newLines = static_cast<std::ptrdiff_t>(tape_.size()) - static_cast<std::ptrdiff_t>(before);
    return done;
}

// A wait of the original has passed: the run's time on the original grows
// by it. Counted when it has passed, so a run stopped during a wait counts
// only what had elapsed of the waits before.
void Engine::waited(double seconds) {
    lastRun_.originalNanos += toNanos(seconds);
}

void Engine::runSlice() {
    runTask_.reset();
    if (!running_) return;
    if (tempo_ == Tempo::fast) {
        runFast();
        return;
    }
    const Slice done = slice();
    bump();
    if (!running_) {
        // Stopped inside the slice (STOP, an error, an empty memory).
        bump();
        return;
    }
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
        if (!running_) {
            bump();
            bump();
            return;
        }
        if (done.newLines > 0) waited(static_cast<double>(done.newLines) * printLineSeconds);
        if (done.paused) {
            // PAUSE is there for the person watching: it keeps its time.
            bump();
            endPause();
            return;
        }
        if (done.newLines == 0) waited(sliceWaitSeconds);
    }
    bump();
    runTask_ = scheduler_.after(0, [this] { runSlice(); });
}

void Engine::afterSlice(std::ptrdiff_t newLines, bool pausedSlice) {
    if (newLines > 0) {
        // The printer needs half a second per line; the program waits for it.
        const double seconds = static_cast<double>(newLines) * printLineSeconds;
        runTask_ = scheduler_.after(seconds, [this, pausedSlice, seconds] {
            runTask_.reset();
            if (!running_) return;
            waited(seconds);
            if (pausedSlice)
                endPause();
            else
                runSlice();
        });
    } else if (pausedSlice) {
        endPause();
    } else {
        runTask_ = scheduler_.after(sliceWaitSeconds, [this] {
            waited(sliceWaitSeconds);
            runSlice();
        });
    }
}

void Engine::endPause() {
    paused_ = true;
    bump();
    runTask_ = scheduler_.after(pauseSeconds, [this] {
        runTask_.reset();
        paused_ = false;
        waited(pauseSeconds);
        runSlice();
    });
}

bool Engine::executeStep() {
    const auto at = [this](int step) { return program_[static_cast<std::size_t>(step - 1)]; };
    int skipped = 0;
    while (!at(pc_)) {
        pc_ = Codes::next(pc_);
        if (++skipped >= Codes::steps) {
            // The whole memory is empty: the counter went once round.
            stopRun();
            return false;
        }
    }
    const int step = pc_;
    // A breakpoint stops a run before its step, as a STOP step would. A run
    // never stops on its first step: the START STOP that continues after a
    // breakpoint executes that step.
    const bool firstOfRun = firstStepOfRun_;
    firstStepOfRun_ = false;
    if (running_ && !firstOfRun && breakpoints_[static_cast<std::size_t>(step - 1)]) {
        pc_ = step;
        commitOrRaise();
        entryFlag_ = false;
        stopRun();
        return false;
    }
    const int code = *at(pc_);
    ++counts_[static_cast<std::size_t>(step - 1)];
    if (running_) ++lastRun_.steps;
    pc_ = Codes::next(pc_);
    std::optional<int> operand;
    if (Codes::needsOperand(code)) {
        operand = at(pc_).value_or(0);
        pc_ = Codes::next(pc_);
    }
    if (const std::optional<bool> paused = controlStep(code, operand)) return *paused;
    suppressPrint_ = running_;
    printingStep_ = step;
    executeCaught(code, operand);
    printingStep_ = 0;
    suppressPrint_ = false;
    return false;
}

// The codes that steer the run: STOP, jumps, branches, RETURN, labels and
// PAUSE. Answers whether the run pauses, or nothing for any other code.
std::optional<bool> Engine::controlStep(int code, std::optional<int> operand) {
    if (code == Codes::stop) {
        commitOrRaise();
        entryFlag_ = false;
        stopRun();
        return false;
    }
    if (Codes::isBranch(code)) {
        if (!commitOrRaise() || !conditionHolds(Codes::conditionOf(code))) return false;
        if (static_cast<int>(returnStack_.size()) >= returnDepth) {
            raiseError();
            return false;
        }
        returnStack_.push_back(pc_);
        goTo(*operand);
        return false;
    }
    if (Codes::isJump(code)) {
        if (commitOrRaise() && conditionHolds(Codes::conditionOf(code))) goTo(*operand);
        return false;
    }
    if (code == Codes::returnStep) {
        if (returnStack_.empty()) {
            pc_ = 1;
        } else {
            pc_ = returnStack_.back();
            returnStack_.pop_back();
        }
        return false;
    }
    if (Codes::isLabel(code)) return false;
    if (code == Codes::pause) return commitOrRaise();
    return std::nullopt;
}

void Engine::goTo(int label) {
    if (label == Codes::jumpToStart) {
        pc_ = 1;
        return;
    }
    // A label that is not there sends the run to step 1.
    pc_ = ProgramFacts::labelStep(program_, model_, label).value_or(1);
}

void Engine::singleStep() {
    if (!commitOrRaise()) return;
    stepBusy_ = true;
    overrideCells_ = Formatter::loadCells(codeText(pc_ - 2), pc_, codeText(pc_ - 1), codeText(pc_));
    const std::uint64_t token = ++overrideToken_;
    bump();
    stepTask_ = scheduler_.after(singleStepSeconds, [this, token] {
        stepTask_.reset();
        if (overrideToken_ == token) overrideCells_.reset();
        stepBusy_ = false;
        // A machine switched off meanwhile neither prints nor executes.
        if (mode_ == Mode::step && power_) {
            printingStep_ = pc_;
            if (printerOn_) printListing(pc_, false);
            printingStep_ = 0;
            executeStep();
        }
        bump();
    });
}

void Engine::showTemporarily(std::vector<Cell> cells, double seconds) {
    overrideCells_ = std::move(cells);
    const std::uint64_t token = ++overrideToken_;
    if (overrideTask_) scheduler_.cancel(*overrideTask_);
    overrideTask_ = scheduler_.after(seconds, [this, token] {
        overrideTask_.reset();
        if (overrideToken_ != token) return;
        overrideCells_.reset();
        bump();
    });
}

} // namespace vx
