// SPDX-License-Identifier: GPL-3.0-or-later
// Running the stored program at the machine's pace, single steps, labels and
// the timed display override. Every wait is a scheduler callback; stopping
// cancels the pending one, so nothing outlives the engine or a stop.
#include "display/Formatter.h"
#include "engine/Engine.h"

namespace vx {

void Engine::startRun() {
    if (!commitOrRaise()) return;
    running = true;
    blinkOn = true;
    if (runTask) scheduler_.cancel(*runTask);
    runTask = scheduler_.after(0, [this] { runSlice(); });
}

void Engine::stopRun() {
    running = false;
    paused = false;
    if (runTask) scheduler_.cancel(*runTask);
    runTask.reset();
}

void Engine::runSlice() {
    runTask.reset();
    if (!running) return;
    const std::size_t before = tape.size();
    bool pausedSlice = false;
    for (int i = 0; i < stepsPerSlice; ++i) {
        if (!running) break;
        if (executeStep()) {
            pausedSlice = true;
            break;
        }
        if (tape.size() != before) break;
    }
    bump();
    if (!running) {
        // Stopped inside the slice (STOP, an error, an empty memory).
        bump();
        return;
    }
    afterSlice(static_cast<std::ptrdiff_t>(tape.size()) - static_cast<std::ptrdiff_t>(before), pausedSlice);
}

void Engine::afterSlice(std::ptrdiff_t newLines, bool pausedSlice) {
    if (newLines > 0) {
        // The printer needs half a second per line; the program waits for it.
        runTask = scheduler_.after(static_cast<double>(newLines) * printLineSeconds, [this, pausedSlice] {
            runTask.reset();
            if (!running) return;
            if (pausedSlice)
                endPause();
            else
                runSlice();
        });
    } else if (pausedSlice) {
        endPause();
    } else {
        runTask = scheduler_.after(sliceWaitSeconds, [this] { runSlice(); });
    }
}

void Engine::endPause() {
    paused = true;
    bump();
    runTask = scheduler_.after(pauseSeconds, [this] {
        runTask.reset();
        paused = false;
        runSlice();
    });
}

bool Engine::executeStep() {
    const auto at = [this](int step) { return program[static_cast<std::size_t>(step - 1)]; };
    const auto advance = [this] { pc = pc % Codes::steps + 1; };

    int skipped = 0;
    while (!at(pc)) {
        advance();
        if (++skipped >= Codes::steps) {
            // The whole memory is empty: the counter went once round.
            stopRun();
            return false;
        }
    }
    const int code = *at(pc);
    advance();
    std::optional<int> operand;
    if (Codes::needsOperand(code)) {
        operand = at(pc).value_or(0);
        advance();
    }

    if (code == 27) {
        commitOrRaise();
        entryFlag = false;
        stopRun();
        return false;
    }
    if (code >= 240 && code <= 247) {
        if (!commitOrRaise() || !conditionHolds(code & 7)) return false;
        if (static_cast<int>(returnStack.size()) >= returnDepth) {
            raiseError();
            return false;
        }
        returnStack.push_back(pc);
        goTo(*operand);
        return false;
    }
    if (code >= 232 && code <= 239) {
        if (commitOrRaise() && conditionHolds(code & 7)) goTo(*operand);
        return false;
    }
    if (code == 24) {
        if (returnStack.empty()) {
            pc = 1;
        } else {
            pc = returnStack.back();
            returnStack.pop_back();
        }
        return false;
    }
    if (code >= 128 && code <= 143) return false;
    if (code == 76) return commitOrRaise();
    suppressPrint = running;
    try {
        execute(code, operand);
    } catch (const CalcError&) {
        raiseError();
    }
    suppressPrint = false;
    return false;
}

void Engine::goTo(int label) {
    if (label == 27) {
        pc = 1;
        return;
    }
    std::optional<int> match;
    for (int i = 0; i < Codes::steps;) {
        const Step step = program[static_cast<std::size_t>(i)];
        if (!step) {
            ++i;
            continue;
        }
        if (*step == 128 + label) {
            // The 412 takes the first label of that number, the 410 the last.
            if (!match || !lowestLabelWins(model_)) match = i;
            if (lowestLabelWins(model_)) break;
        }
        i += Codes::needsOperand(*step) ? 2 : 1;
    }
    pc = match ? *match + 1 : 1;
}

void Engine::singleStep() {
    if (!commitOrRaise()) return;
    stepBusy = true;
    overrideCells = Formatter::loadCells(codeText(pc - 2), pc, codeText(pc - 1), codeText(pc));
    const std::uint64_t token = ++overrideToken;
    bump();
    stepTask_ = scheduler_.after(singleStepSeconds, [this, token] {
        stepTask_.reset();
        if (overrideToken == token) overrideCells.reset();
        stepBusy = false;
        // A machine switched off meanwhile neither prints nor executes.
        if (mode_ == Mode::step && power_) {
            if (printerOn_) printListing(pc, false);
            executeStep();
        }
        bump();
    });
}

void Engine::showTemporarily(std::vector<Cell> cells, double seconds) {
    overrideCells = std::move(cells);
    const std::uint64_t token = ++overrideToken;
    if (overrideTask_) scheduler_.cancel(*overrideTask_);
    overrideTask_ = scheduler_.after(seconds, [this, token] {
        overrideTask_.reset();
        if (overrideToken != token) return;
        overrideCells.reset();
        bump();
    });
}

} // namespace vx
