// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts and colours the panel's painters share.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace vx::Theme {

// A font of the given family at a size in panel units (pixels at 150 %).
QFont font(const QString& family, double pixels, int weight = QFont::Normal);
QString monoFamily();    // the tape
QString serifFamily();   // the maker's name
QString roundedFamily(); // the key help
QString sansFamily();

inline const QColor glow = QColor::fromRgbF(1.0f, 0.38f, 0.12f);
inline const QColor amber = QColor::fromRgbF(1.0f, 0.84f, 0.3f);

} // namespace vx::Theme
