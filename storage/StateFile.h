// SPDX-License-Identifier: GPL-3.0-or-later
// The kept machine as a small text file: a version line, then one field a
// line ("pc 14", "register 1.5 0", "step 3 56"), readable and, at one's own
// risk, editable by hand. Written atomically under a lock beside it, so two
// windows closing at once leave one whole file (the last to close wins).
#pragma once

#include "engine/MachineState.h"
#include "storage/SafeFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vx::StateFile {

// The first line; a file with any other first line is not read.
inline constexpr const char* header = "VELTRANIX ZUSTAND 1";
// A kept machine is small; the tape is its largest part.
inline constexpr qint64 maxBytes = 256LL * 1024 * 1024;
// The newest lines of the tape that are kept (the roll's own bound); older
// ones are let go, in writing as in reading.
inline constexpr std::size_t maxTapeLines = Tape::bound;

QByteArray format(const MachineState& state);
// The machine, or the first problem ("Zeile 7: …").
struct Parsed {
    std::optional<MachineState> state;
    QString problem;
};
Parsed parse(const QByteArray& text);

// Reads the file at `path`: a missing file is `missing` (no problem); one
// that is not a regular file, too large or damaged gives its problem.
struct Loaded {
    std::optional<MachineState> state;
    bool missing = false;
    std::optional<QString> problem;
};
Loaded read(const SafeFile::Path& path);

// Writes under the lock `path` + ".lock", atomically; the reason when it
// could not. `inputs` are files the write must not replace.
std::optional<QString> write(const SafeFile::Path& path, const MachineState& state,
                             const std::vector<SafeFile::Path>& inputs = {});

// Moves a file that cannot be read out of the way, under a new name beside
// it ("Veltranix.state.beschädigt-20261207-153000"); that name, or nothing
// when it could not be moved.
std::optional<SafeFile::Path> keepAside(const SafeFile::Path& path);

} // namespace vx::StateFile
