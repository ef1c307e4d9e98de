#include "support.h"

#include <sstream>

namespace vx::test {

std::string showCells(const std::vector<Cell>& cells) {
    std::string s;
    for (const Cell& c : cells) {
        s += c.ch;
        if (c.dot) s += '.';
        if (c.comma) s += ',';
    }
    return s;
}

std::string trimmedDisplay(const std::vector<Cell>& cells) {
    std::string s = showCells(cells);
    std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

Machine::Machine(Model model) {
    saveModel(settings, model);
    engine = std::make_unique<Engine>(clock, settings, random);
}

void Machine::keys(const std::string& script) {
    std::istringstream in(script);
    std::string token;
    while (in >> token) {
        bool number = token.find_first_not_of("0123456789.") == std::string::npos;
        if (number) {
            for (char c : token) engine->press(c == '.' ? Key(K::dot) : Key::digit(c - '0'));
            continue;
        }
        if (token.size() == 1) {
            const std::string signs = "+-*/^()=";
            const K kinds[] = {K::plus, K::minus, K::times, K::divide, K::power, K::lparen, K::rparen, K::equals};
            auto at = signs.find(token[0]);
            if (at != std::string::npos) {
                engine->press(kinds[at]);
                continue;
            }
        }
        auto key = keyFromName(token);
        if (!key) throw std::runtime_error("unknown key " + token);
        engine->press(*key);
    }
}

std::vector<std::string> Machine::tape() const { return tapeSince(0); }

std::vector<std::string> Machine::tapeSince(std::size_t from) const {
    std::vector<std::string> lines;
    for (std::size_t i = from; i < engine->tape.size(); ++i) lines.push_back(engine->tape[i].printed());
    return lines;
}

std::vector<std::string> Machine::redLines() const {
    std::vector<std::string> lines;
    for (const auto& line : engine->tape)
        if (line.red) lines.push_back(line.printed());
    return lines;
}

void Machine::settle(double limitSeconds) {
    const std::int64_t limit = clock.nowNanos() + toNanos(limitSeconds);
    while (engine->busy() && clock.runNext(limit)) {
    }
}

} // namespace vx::test
