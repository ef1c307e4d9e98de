// SPDX-License-Identifier: GPL-3.0-or-later
// The whole library in one searchable list, for libraries longer than a menu.
#pragma once

#include "storage/SavedProgram.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

class QWidget;

namespace vx::ProgramActions {

// The dialog behind "Alle Programme …": the index of the chosen program, if any.
std::optional<std::size_t> pickProgram(const std::vector<SavedProgram>& programs, bool loading,
                                       QWidget* parent, const QString& title = {});

} // namespace vx::ProgramActions
