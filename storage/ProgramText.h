// SPDX-License-Identifier: GPL-3.0-or-later
// The library's text form: one mnemonic per line, meant to be read and
// edited by hand. The reader never fails; what it cannot use it skips or
// records as the program's error.
#pragma once

#include "engine/Types.h"
#include "storage/SavedProgram.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace vx::ProgramText {

QString format(const std::vector<SavedProgram>& programs, Model model);
std::vector<SavedProgram> parse(const QString& text, Model model);
// UTF-8, or Latin-1 when the bytes are not valid UTF-8. A leading byte-order
// mark is dropped.
QString decode(const QByteArray& bytes);

} // namespace vx::ProgramText
