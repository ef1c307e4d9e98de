// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vx {

// Organisation and application names for QSettings and the data folders, so
// settings and the program library agree between the window and the batch mode.
inline constexpr const char* organizationName = "Veltranix";
inline constexpr const char* applicationName = "Veltranix";
inline constexpr const char* desktopId = "de.veltranix.Veltranix";

void setAppIdentity();

} // namespace vx
