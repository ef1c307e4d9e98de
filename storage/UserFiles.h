// SPDX-License-Identifier: GPL-3.0-or-later
// The files that hold the user's own things: the settings, the libraries of
// both models (and their backups) and the kept machine. Nothing the
// calculator exports (a tape, a picture, a program file) may land on one.
#pragma once

#include "storage/SafeFile.h"

#include <vector>

namespace vx {

// The settings file the host keeps.
QString settingsFile();
// The kept machine of "Dauerspeicher".
QString stateFile();
std::vector<SafeFile::Path> userFiles();

} // namespace vx
