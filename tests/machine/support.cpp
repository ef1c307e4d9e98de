// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include "engine/Settle.h"

#include "display/Formatter.h"
#include "program/BatchScript.h"

namespace vx::test {

std::string showCells(const std::vector<Cell>& cells) {
    return Formatter::text(cells);
}

std::string trimmedDisplay(const std::vector<Cell>& cells) {
    std::string s = showCells(cells);
    std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

Machine::Machine(Model model) {
    saveModel(settings, model);
    engine = std::make_unique<Engine>(clock, settings, random);
}

Machine& Machine::keys(const std::string& script) {
    for (const BatchAction& action : parseScript(script)) {
        if (action.kind == BatchAction::Kind::wait)
            settle();
        else
            apply(*engine, action);
    }
    return *this;
}

std::vector<std::string> Machine::tape() const {
    return tapeSince(0);
}

std::vector<std::string> Machine::tapeSince(std::size_t from) const {
    std::vector<std::string> lines;
    for (std::size_t i = from; i < engine->tape().size(); ++i) lines.push_back(engine->tape()[i].printed());
    return lines;
}

std::vector<std::string> Machine::redLines() const {
    std::vector<std::string> lines;
    for (const auto& line : engine->tape())
        if (line.red) lines.push_back(line.printed());
    return lines;
}

double resultOf(const std::string& keys, Model model) {
    Machine m(model);
    EXPECT_FALSE(m.keys(keys)->error()) << keys;
    return m->E().v;
}

bool failsWith(const std::string& keys, Model model) {
    Machine m(model);
    m.keys(keys);
    return m->error();
}

Machine& Machine::keyInProgram(const std::string& program) {
    keys("printer:off mode:load " + program + " mode:run printer:on");
    engine->setCounter(1);
    return *this;
}

void Machine::settle(double limitSeconds) {
    vx::settle(*engine, clock, clock.nowNanos() + toNanos(limitSeconds));
}

} // namespace vx::test
