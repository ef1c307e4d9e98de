// SPDX-License-Identifier: GPL-3.0-or-later
// Keying a program into memory: storing steps, the LOAD print line and the
// step texts the LOAD display shows.
#include "engine/Engine.h"

#include <cstdio>

namespace vx {

namespace {
std::string trimBlanks(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}
} // namespace

void Engine::storeStep(int code, bool print) {
    program[static_cast<std::size_t>(pc - 1)] = code;
    if (printerOn_ && print) printListing(pc, true);
    pc = pc % Codes::steps + 1;
}

void Engine::printListing(int step, bool red) {
    const int index = step - 1;
    const Step value =
        index >= 0 && index < Codes::steps ? program[static_cast<std::size_t>(index)] : std::nullopt;
    const std::string symbol = value && !isRegisterOperand(index) ? Codes::symbol(*value) : std::string();
    printLoadLine(step, codeText(index), symbol, red);
}

void Engine::printLoadLine(int step, const std::string& code, const std::string& symbol, bool red) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", step);
    appendLine(trimBlanks("·" + std::string(number) + "  " + code + "  " + symbol), "", red, true);
}

std::string Engine::codeText(int index) const {
    if (index < 0 || index >= Codes::steps) return "   ";
    const Step value = program[static_cast<std::size_t>(index)];
    return isRegisterOperand(index) ? Codes::decimal(value) : Codes::octal(value);
}

bool Engine::isRegisterOperand(int index) const {
    if (!twoDigitRegisters(model_) || index < 1 || index >= Codes::steps) return false;
    const Step before = program[static_cast<std::size_t>(index - 1)];
    return before && Codes::isRegisterOp(*before);
}

void Engine::printProvisional() {
    using PK = Prefix::Kind;
    const Prefix& p = prefix;
    switch (p.kind) {
    case PK::none: return;
    case PK::f: printLoadLine(pc, Codes::octal(64), "F", true); return;
    case PK::setDP: printLoadLine(pc, Codes::octal(144), "DP", true); return;
    case PK::label: printLoadLine(pc, Codes::octal(128), "L", true); return;
    case PK::metric: printLoadLine(pc, Codes::octal(p.base), p.base == 160 ? "M" : "B", true); return;
    case PK::reg:
        if (p.ind || p.digit) {
            // The operand step being keyed is previewed at the step after the code.
            printLoadLine(pc % Codes::steps + 1, Codes::decimal((p.ind ? 100 : 0) + 10 * p.digit.value_or(0)),
                          "", true);
        } else {
            printLoadLine(pc, Codes::octal(p.base + p.off), Codes::symbol(p.base) + Codes::opSuffix(p.off),
                          true);
        }
        return;
    case PK::cond:
        printLoadLine(pc, Codes::octal(p.base + p.bits), Codes::symbol(p.base) + Codes::condSuffix(p.bits),
                      true);
        return;
    }
}

std::vector<Step> Engine::programSteps() const {
    std::size_t end = program.size();
    while (end > 0 && !program[end - 1]) --end;
    return {program.begin(), program.begin() + static_cast<std::ptrdiff_t>(end)};
}

void Engine::loadProgram(const std::vector<Step>& steps) {
    stopRun();
    listing = false;
    program.assign(Codes::steps, std::nullopt);
    for (std::size_t i = 0; i < steps.size() && i < program.size(); ++i) program[i] = steps[i];
    pc = 1;
    returnStack.clear();
    bump();
}

} // namespace vx
