// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Theme.h"

#include <QFontDatabase>

#include <cmath>

namespace vx::Theme {

namespace {
QString firstInstalled(std::initializer_list<const char*> families, QFontDatabase::SystemFont fallback) {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : families)
        if (installed.contains(QString::fromLatin1(family))) return QString::fromLatin1(family);
    return QFontDatabase::systemFont(fallback).family();
}
} // namespace

QFont font(const QString& family, double pixels, int weight) {
    QFont f(family);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QString monoFamily() {
    static const QString family =
        firstInstalled({"DejaVu Sans Mono", "Liberation Mono"}, QFontDatabase::FixedFont);
    return family;
}

QString serifFamily() {
    static const QString family =
        firstInstalled({"DejaVu Serif", "Liberation Serif"}, QFontDatabase::GeneralFont);
    return family;
}

QString roundedFamily() {
    static const QString family =
        firstInstalled({"Comfortaa", "Quicksand", "DejaVu Sans"}, QFontDatabase::GeneralFont);
    return family;
}

QString sansFamily() {
    static const QString family =
        firstInstalled({"DejaVu Sans", "Liberation Sans"}, QFontDatabase::GeneralFont);
    return family;
}

} // namespace vx::Theme
