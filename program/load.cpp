// SPDX-License-Identifier: GPL-3.0-or-later
// Keying a program into memory: storing steps, the LOAD print line and the
// step texts the LOAD display shows.
#include "engine/Engine.h"

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
    program_[static_cast<std::size_t>(pc_ - 1)] = code;
    if (printerOn_ && print) printListing(pc_, true);
    pc_ = Codes::next(pc_);
}

void Engine::printListing(int step, bool red) {
    const int index = step - 1;
    const Step value =
        index >= 0 && index < Codes::steps ? program_[static_cast<std::size_t>(index)] : std::nullopt;
    const std::string symbol = value && !isRegisterOperand(index) ? Codes::symbol(*value) : std::string();
    printLoadLine(step, codeText(index), symbol, red);
}

void Engine::printLoadLine(int step, const std::string& code, const std::string& symbol, bool red) {
    appendLine(trimBlanks("·" + Codes::decimal(step) + "  " + code + "  " + symbol), "", red, true);
}

std::string Engine::codeText(int index) const {
    if (index < 0 || index >= Codes::steps) return "   ";
    const Step value = program_[static_cast<std::size_t>(index)];
    return isRegisterOperand(index) ? Codes::decimal(value) : Codes::octal(value);
}

bool Engine::isRegisterOperand(int index) const {
    if (!twoDigitRegisters(model_) || index < 1 || index >= Codes::steps) return false;
    const Step before = program_[static_cast<std::size_t>(index - 1)];
    return before && Codes::isRegisterOp(*before);
}

void Engine::printProvisional() {
    using PK = Prefix::Kind;
    const Prefix& p = prefix_;
    switch (p.kind) {
    case PK::none: return;
    case PK::f: printLoadLine(pc_, Codes::octal(Codes::shiftedDigits), "F", true); return;
    case PK::setDP: printLoadLine(pc_, Codes::octal(Codes::decimals), "DP", true); return;
    case PK::label: printLoadLine(pc_, Codes::octal(Codes::label), "L", true); return;
    case PK::metric:
        printLoadLine(pc_, Codes::octal(p.base), p.base == Codes::toMetric ? "M" : "B", true);
        return;
    case PK::reg:
        if (p.ind || p.digit) {
            // The operand step being keyed is previewed at the step after the code.
            printLoadLine(Codes::next(pc_), Codes::decimal(p.provisionalOperand()), "", true);
        } else {
            printLoadLine(pc_, Codes::octal(p.base + p.off), Codes::symbol(p.base) + Codes::opSuffix(p.off),
                          true);
        }
        return;
    case PK::cond:
        printLoadLine(pc_, Codes::octal(p.base + p.bits), Codes::symbol(p.base) + Codes::condSuffix(p.bits),
                      true);
        return;
    }
}

std::vector<Step> Engine::programSteps() const {
    std::size_t end = program_.size();
    while (end > 0 && !program_[end - 1]) --end;
    return {program_.begin(), program_.begin() + static_cast<std::ptrdiff_t>(end)};
}

void Engine::loadProgram(const std::vector<Step>& steps) {
    stopRun();
    listing_ = false;
    program_.assign(Codes::steps, std::nullopt);
    for (std::size_t i = 0; i < steps.size() && i < program_.size(); ++i) program_[i] = steps[i];
    counts_.assign(Codes::steps, 0);
    breakpoints_.assign(Codes::steps, false);
    pc_ = 1;
    returnStack_.clear();
    bump();
}

} // namespace vx
