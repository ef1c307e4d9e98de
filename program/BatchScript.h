// SPDX-License-Identifier: GPL-3.0-or-later
// The batch mode's script: tokens separated by white space, each a run of
// digits, an operation sign, a key name, a switch setting or "wait".
#pragma once

#include "engine/Types.h"

#include <string>
#include <vector>

namespace vx {

class Engine;

struct BatchAction {
    // undo … historyForward go to the history (engine/History.h), after a wait.
    enum class Kind { key, power, printer, mode, tape, angle, wait, undo, redo, historyBack, historyForward };
    Kind kind = Kind::key;
    Key key;
    int value = 0; // switches: 1 on / 0 off; mode: the Mode number; angle: 1 grad
    bool operator==(const BatchAction&) const = default;
};

// An unknown word: the word itself, its place among the words (from 1),
// and its line and column in the text (from 1; columns count characters).
struct ScriptError {
    std::string token;
    int position = 0;
    int line = 0;
    int column = 0;
};

// Reads the whole script before anything runs, so a bad token leaves no
// half-written output. Throws ScriptError naming the token and its position.
std::vector<BatchAction> parseScript(const std::string& script);
void apply(Engine& engine, const BatchAction& action);

} // namespace vx
