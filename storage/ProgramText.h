// SPDX-License-Identifier: GPL-3.0-or-later
// The library's text form: one mnemonic per line, meant to be read and
// edited by hand. The reader never fails; what it cannot use it skips or
// records as the program's error.
#pragma once

#include "engine/Types.h"
#include "storage/SavedProgram.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vx::ProgramText {

QString format(const std::vector<SavedProgram>& programs, Model model);
std::vector<SavedProgram> parse(const QString& text, Model model);
// The same, with the line (from 1) of each program's first fault, 0 where it has none.
std::vector<SavedProgram> parse(const QString& text, Model model, std::vector<int>* errorLines);
// The first program of a text that was typed or pasted rather than stored:
// bare step lines without a PROGRAM block count as one program. `problem`
// is the reader's message and `line` the line of the text it is about.
struct OneProgram {
    std::vector<Step> steps;
    bool found = false;
    std::optional<QString> problem;
    int line = 0;
};
OneProgram firstProgram(const QString& text, Model model);
// A file's text: UTF-16 in either byte order when a byte-order mark says
// so (as some editors write it), otherwise UTF-8, or Latin-1 when the bytes
// are not valid UTF-8. A leading byte-order mark is dropped. Bytes that are
// none of these (UTF-16 without its mark, say, full of zero bytes) are a
// `problem`: such a file must never pass for an empty library.
struct Decoded {
    QString text;
    std::optional<QString> problem;
};
Decoded read(const QByteArray& bytes);
// The text of `read`, whatever its problem.
QString decode(const QByteArray& bytes);

} // namespace vx::ProgramText
