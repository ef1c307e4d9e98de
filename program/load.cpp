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
    mem_.program.store(mem_.pc, code);
    if (sw_.printerOn && print) printListing(mem_.pc, true);
    mem_.pc = Codes::next(mem_.pc);
}

void Engine::printListing(int step, bool red) {
    const int index = step - 1;
    const Step value = mem_.program.at(step);
    const std::string symbol = value && !isRegisterOperand(index) ? Codes::symbol(*value) : std::string();
    printLoadLine(step, codeText(index), symbol, red);
}

void Engine::printLoadLine(int step, const std::string& code, const std::string& symbol, bool red) {
    appendLine(trimBlanks("·" + Codes::decimal(step) + "  " + code + "  " + symbol), "", red, true);
}

std::string Engine::codeText(int index) const {
    if (index < 0 || index >= Codes::steps) return "   ";
    const Step value = mem_.program.at(index + 1);
    return isRegisterOperand(index) ? Codes::decimal(value) : Codes::octal(value);
}

bool Engine::isRegisterOperand(int index) const {
    if (!twoDigitRegisters(sw_.model) || index < 1 || index >= Codes::steps) return false;
    const Step before = mem_.program.at(index);
    return before && Codes::isRegisterOp(*before);
}

void Engine::printProvisional() {
    using PK = Prefix::Kind;
    const Prefix& p = calc_.prefix;
    const std::optional<int> code = p.provisionalCode();
    if (!code) return;
    if (p.previewsOperand()) {
        // The operand step being keyed is previewed at the step after the code.
        printLoadLine(Codes::next(mem_.pc), Codes::decimal(p.provisionalOperand()), "", true);
        return;
    }
    std::string symbol;
    switch (p.kind) {
    case PK::none: return;
    case PK::f: symbol = "F"; break;
    case PK::setDP: symbol = "DP"; break;
    case PK::label: symbol = "L"; break;
    case PK::metric: symbol = p.base == Codes::toMetric ? "M" : "B"; break;
    case PK::reg: symbol = Codes::symbol(p.base) + Codes::opSuffix(p.off); break;
    case PK::cond: symbol = Codes::symbol(p.base) + Codes::condSuffix(p.bits); break;
    }
    printLoadLine(mem_.pc, Codes::octal(*code), symbol, true);
}

std::vector<Step> Engine::programSteps() const {
    return mem_.program.steps();
}

void Engine::loadProgram(const std::vector<Step>& steps) {
    putProgram(steps, false);
}

void Engine::reviseProgram(const std::vector<Step>& steps) {
    putProgram(steps, true);
}

void Engine::putProgram(const std::vector<Step>& steps, bool revised) {
    tell(MachineEvent::of(MachineEvent::Kind::loading));
    stopRun(RunEnd::loaded);
    timed_.listing = false;
    if (revised)
        mem_.program.revise(steps);
    else
        mem_.program.load(steps);
    mem_.pc = 1;
    mem_.returnStack.clear();
    bump();
}

} // namespace vx
