// SPDX-License-Identifier: GPL-3.0-or-later
// Headless picture of the panel: plays a key string into a fresh machine and
// writes the composed panel at its base size as a PNG file.
#pragma once

#include <QString>

#include <optional>

namespace vx::Snapshot {

// Returns the reason when the picture could not be written.
std::optional<QString> render(const QString& path, const QString& keys);

} // namespace vx::Snapshot
