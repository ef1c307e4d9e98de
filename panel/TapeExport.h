// SPDX-License-Identifier: GPL-3.0-or-later
// The paper strip outside the window: as text, as a picture of the strip,
// and as pages (PDF or the printer) that continue the strip page by page.
#pragma once

#include "printer/Tape.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace vx::TapeExport {

// A picture taller than this many lines would be hundreds of megabytes.
inline constexpr std::size_t maxImageLines = 20000;

// The lines as printed, oldest first, each ending in a line feed.
QString text(const Tape& tape);
// The whole strip as the window shows it at 100 %.
QImage image(const Tape& tape, std::uint32_t tearSeed);
// Pages of the strip in the tape's monospaced face, red ink for red lines,
// each with its page number. Returns false when the device could not be
// painted on (a PDF file that cannot be written).
bool paintPages(QPagedPaintDevice& device, const Tape& tape);

enum class Format { pdf, text, png };
// The format for a file name by its extension (.pdf, .txt, .png), if any.
std::optional<Format> formatFor(const QString& path);
// Writes the tape to `path` in the format of its extension, atomically.
// Returns the reason when nothing was written.
std::optional<QString> save(const QString& path, const Tape& tape, std::uint32_t tearSeed);
// The same into a file already opened for writing (the batch mode opens it
// before the run, so a bad path is reported before anything is printed).
std::optional<QString> write(QIODevice& file, Format format, const Tape& tape, std::uint32_t tearSeed);

} // namespace vx::TapeExport
