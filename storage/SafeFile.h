// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the calculator writes (the library, the tape, a picture, a
// program, the kept machine) goes through here: only onto a regular file or
// where there is none, never onto a file the same run reads, and atomically,
// so that a full disk or a crash leaves the old file as it was. Paths are
// bytes as the user gave them; a name that is not UTF-8 is written under
// exactly that name.
#pragma once

#include <QByteArray>
#include <QString>

class QLockFile;

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vx::SafeFile {

using Path = std::string;

// The bytes of a path the toolkit holds (a file dialog's answer).
Path fromQt(const QString& path);
// A path as the toolkit needs it to open the file itself.
QString toQt(const Path& path);

// The system's reason for a failed file operation, in German.
QString reason(int error);

// Stands in a list of inputs for the process's standard input, whatever
// it is connected to: a write must not land on the file it reads from.
inline constexpr const char* standardInput = "/dev/stdin";

// Where a write to `path` lands: the end of a chain of symbolic links, or
// `path` itself. `refused` says why nothing may be written there: the
// target is a folder, a device, a FIFO, one of `inputs` (compared as files,
// not as spellings), or its folder is missing.
struct Target {
    Path path;
    std::optional<QString> refused;
};
Target target(const Path& path, const std::vector<Path>& inputs = {});

// Whether two targets (ends of link chains) are one file: the same device
// and inode where they exist, the same folder and name where they do not yet.
bool sameTarget(const Path& a, const Path& b);

// Writes `bytes` to a new file beside `target` and renames it over the
// target once it is on the disk; the reason when nothing was written (then
// the old file is untouched). An existing file keeps its permissions.
std::optional<QString> write(const Path& target, const QByteArray& bytes);

// Both steps: the reason when `path` may not or could not be written.
std::optional<QString> writeChecked(const Path& path, const QByteArray& bytes,
                                    const std::vector<Path>& inputs = {});

// Reads a regular file of at most `maxBytes`; a FIFO or a device is never
// opened for a blocking read. `missing` is set (and no reason given) when
// there is no file.
struct Read {
    QByteArray bytes;
    bool missing = false;
    std::optional<QString> problem; // "ist keine Datei", "ist zu groß …", "ist nicht lesbar: …"
};
Read read(const Path& path, qint64 maxBytes);

// The same, handing the bytes on piece by piece as they are read, so that
// a large file need not be held whole; `take` answers false to stop early.
struct Streamed {
    bool missing = false;
    std::optional<QString> problem;
};
Streamed stream(const Path& path, qint64 maxBytes, const std::function<bool(const char*, std::size_t)>& take);

// A lock file holds a process number, a host and a program name.
inline constexpr qint64 maxLockBytes = 4096;
// Why the file at `lockPath` may not serve as a lock, if anything stands
// there that is not one: the locking reads what it finds, so a FIFO would
// hang it and a device would never end. Checked before every lock.
std::optional<QString> lockRefused(const Path& lockPath);

// Takes a lock that another window may hold for a moment, waiting at most
// `milliseconds`; a lock left by a process that died is taken over. On the
// window's thread the event loop turns while it waits (it draws, its timers
// run; typed keys wait).
bool lockWithin(QLockFile& lock, int milliseconds);

} // namespace vx::SafeFile
