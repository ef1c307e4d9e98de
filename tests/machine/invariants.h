// SPDX-License-Identifier: GPL-3.0-or-later
// What must hold after any key, switch move or passing time, whatever came
// before: shared by the random-key test and the fuzz target.
#pragma once

#include "engine/Engine.h"

#include <cmath>
#include <string>

namespace vx::test {

// The first broken invariant, or an empty text. `tapeBefore` is the tape's
// length before the event; `tornOff` says the event tore the tape off.
inline std::string brokenInvariant(const Engine& e, std::size_t tapeBefore, bool tornOff) {
    if (e.cells().size() != 16) return "display not 16 cells";
    if (e.pc() < 1 || e.pc() > Codes::steps) return "counter outside memory";
    if (e.program().size() != static_cast<std::size_t>(Codes::steps)) return "memory not 416 steps";
    if (e.parenLevel() > 4) return "too many parentheses";
    if (e.returnDepthUsed() > 6) return "too many open branches";
    if (e.registers().size() != static_cast<std::size_t>(registerCount(e.model())))
        return "register bank size";
    if (!std::isfinite(e.E().v)) return "E not finite";
    for (const Num& r : e.registers())
        if (!std::isfinite(r.v)) return "register not finite";
    if (!tornOff && e.tape().size() < tapeBefore) return "tape shrank";
    // Lines never change once printed: the new ones are checked.
    for (std::size_t i = tornOff ? 0 : tapeBefore; i < e.tape().size(); ++i)
        if (utf8Length(e.tape()[i].printed()) > static_cast<std::size_t>(TapeLine::columns))
            return "tape line wider than the paper: " + e.tape()[i].printed();
    return {};
}

} // namespace vx::test
