// SPDX-License-Identifier: GPL-3.0-or-later
// "Dauerspeicher": when the user turns it on, closing the window keeps the
// whole machine in a file of the data folder and the next start brings it
// back exactly. Off by default: as on the real machine, switching off (and
// closing) forgets program, registers and tape.
#pragma once

#include <QString>

#include <optional>

namespace vx {

class Engine;
class ShellSettings;

namespace KeptMachine {

// At start: the kept machine, back in `engine`, when continuous memory is
// on in `settings`. A file that cannot be read is moved aside and the machine starts
// fresh; the returned text says so (once: the file is gone from its place).
std::optional<QString> bringBack(Engine& engine, const ShellSettings& settings);
// At close: stops what runs and writes the machine; the reason when it
// could not be written.
std::optional<QString> keep(Engine& engine);

} // namespace KeptMachine
} // namespace vx
