// SPDX-License-Identifier: GPL-3.0-or-later
// Headless picture of the panel: plays a key string into a fresh machine and
// writes the composed panel at its base size as a PNG file.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace vx::Snapshot {

// Returns the reason when the picture could not or must not be written: the
// path (bytes as given) is checked as every output is, and the picture is
// written whole or not at all.
std::optional<QString> render(const std::string& path, const QString& keys);

} // namespace vx::Snapshot
