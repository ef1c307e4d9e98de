// SPDX-License-Identifier: GPL-3.0-or-later
// Programs in and out as text files in the library's own form: one program
// exported, one program or a whole library imported (and then chosen from).
// A file dropped on the panel and `veltranix FILE` import the same way.
#pragma once

#include "storage/SafeFile.h"

#include <QString>

#include <optional>

class QWidget;

namespace vx {

class Engine;
class UserPrograms;

namespace ProgramFiles {

// A program file is a text; anything larger is no program file.
inline constexpr qint64 maxBytes = 64LL * 1024 * 1024;

// The program memory as a library of one program named `name`, written
// atomically to `path`; the reason when it was not written.
std::optional<QString> exportTo(const Engine& engine, const QString& path, const QString& name);
// Asks for a file and exports; true when written.
bool exportProgram(const Engine& engine, QWidget* parent);

// Reads `path` and loads its program as pasting one would (asking before
// it replaces a program in memory, offering the programs of a library to
// choose from); true when a program was loaded. A bad file is named with
// its first problem and changes nothing.
// The path's bytes are the file's name as the system has it, also where
// they are not UTF-8; a name the toolkit holds is found back to its bytes.
bool importFrom(Engine& engine, const SafeFile::Path& path, QWidget* parent);
bool importFrom(Engine& engine, const QString& path, QWidget* parent);
// Asks for a file and imports it.
bool importProgram(Engine& engine, QWidget* parent);

// A folder to propose for files: the documents folder, or the home.
QString proposedFolder();

} // namespace ProgramFiles
} // namespace vx
