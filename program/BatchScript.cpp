// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/BatchScript.h"

#include "engine/Engine.h"

#include <algorithm>
#include <map>

namespace vx {

namespace {

// Appends the actions one word of a script stands for; false for an unknown word.
bool addActions(const std::string& token, std::vector<BatchAction>& actions) {
    using BK = BatchAction::Kind;
    static const std::map<std::string, std::pair<BK, int>> switches = {
        {"power:on", {BK::power, 1}},      {"power:off", {BK::power, 0}}, {"printer:on", {BK::printer, 1}},
        {"printer:off", {BK::printer, 0}}, {"mode:run", {BK::mode, 0}},   {"mode:step", {BK::mode, 1}},
        {"mode:load", {BK::mode, 2}},      {"tape:on", {BK::tape, 1}},    {"tape:off", {BK::tape, 0}},
        {"angle:deg", {BK::angle, 0}},     {"angle:grad", {BK::angle, 1}}};
    auto addKey = [&actions](Key key) {
        BatchAction a;
        a.key = key;
        actions.push_back(a);
        return true;
    };
    // A run of digits and "." types them one by one; a sign stands alone.
    if (token.find_first_not_of("0123456789.") == std::string::npos || token.size() == 1) {
        if (std::all_of(token.begin(), token.end(), [](char c) { return keyForCharacter(c).has_value(); })) {
            for (char c : token) addKey(*keyForCharacter(c));
            return true;
        }
    }
    static const std::map<std::string, BK> waiting = {{"wait", BK::wait},
                                                      {"undo", BK::undo},
                                                      {"redo", BK::redo},
                                                      {"historyBack", BK::historyBack},
                                                      {"historyForward", BK::historyForward}};
    if (auto w = waiting.find(token); w != waiting.end()) {
        actions.push_back(BatchAction{w->second, {}, 0});
        return true;
    }
    if (auto s = switches.find(token); s != switches.end()) {
        actions.push_back(BatchAction{s->second.first, {}, s->second.second});
        return true;
    }
    if (auto key = keyFromName(token); key && !key->isDigit()) return addKey(*key);
    return false;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A UTF-8 continuation byte is no character of its own.
bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

} // namespace

std::vector<BatchAction> parseScript(const std::string& script) {
    std::vector<BatchAction> actions;
    int position = 0;
    int line = 1;
    int column = 0; // characters of the current line before `i`
    const std::size_t n = script.size();
    for (std::size_t i = 0; i < n;) {
        if (isBlank(script[i])) {
            if (script[i] == '\n') {
                ++line;
                column = 0;
            } else {
                ++column;
            }
            ++i;
            continue;
        }
        const int tokenLine = line, tokenColumn = column + 1;
        std::size_t end = i;
        while (end < n && !isBlank(script[end])) {
            if (startsCharacter(script[end])) ++column;
            ++end;
        }
        const std::string token = script.substr(i, end - i);
        i = end;
        ++position;
        if (!addActions(token, actions)) throw ScriptError{token, position, tokenLine, tokenColumn};
    }
    return actions;
}

void apply(Engine& engine, const BatchAction& action) {
    using BK = BatchAction::Kind;
    switch (action.kind) {
    case BK::key: engine.press(action.key); break;
    case BK::power: engine.setPower(action.value != 0); break;
    case BK::printer: engine.setPrinterOn(action.value != 0); break;
    case BK::mode: engine.setMode(static_cast<Mode>(action.value)); break;
    case BK::tape: engine.setTapeWritesProgram(action.value != 0); break;
    case BK::angle: engine.setGradMode(action.value != 0); break;
    case BK::wait:
    case BK::undo:
    case BK::redo:
    case BK::historyBack:
    case BK::historyForward: break;
    }
}

} // namespace vx
