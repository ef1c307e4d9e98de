// SPDX-License-Identifier: GPL-3.0-or-later
// The batch mode's command line: what to run, what to read, what to write.
// Everything that is wrong with it is refused before the machine starts,
// with one German line and exit status 2.
#pragma once

#include "engine/Types.h"

#include <optional>
#include <string>
#include <vector>

namespace vx {

struct BatchOptions {
    bool play = false, list = false, help = false, json = false, version = false;
    std::string script;
    // Paths are bytes as given on the command line.
    std::optional<std::string> scriptFile;
    std::optional<std::string> tapeFile;
    std::optional<std::string> library;
    std::optional<std::string> stateFile;
    std::optional<std::string> saveStateFile;
    std::optional<Model> model;
    std::optional<long long> program;
    double timeLimit = 3600;
    // Where the outputs land (the ends of their links), once checked.
    std::optional<std::string> tapeTarget;
    std::optional<std::string> saveStateTarget;
};

// A refusal: one line on standard error, exit status 2.
[[noreturn]] void refuseBatch(const std::string& message);

// Reads the options and the script file, and checks that every output may be
// written where it is meant to go: never onto a folder, a device, a FIFO, a
// file this run reads or the user's settings and libraries.
BatchOptions parseBatchOptions(int argc, char** argv);

// The help text of `veltranix --help`.
extern const char* const batchUsage;

} // namespace vx
