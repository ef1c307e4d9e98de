// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RunSummary.h"

#include "panel/SheetText.h"

#include <QLocale>

#include <cmath>

namespace vx {

namespace {
const QLocale german(QLocale::German, QLocale::Germany);
}

QString spokenDuration(double seconds) {
    if (seconds < 59.95) return german.toString(seconds, 'f', 1) + QStringLiteral(" s");
    const auto whole = static_cast<long long>(std::llround(seconds));
    const long long days = whole / 86400, hours = whole % 86400 / 3600, minutes = whole % 3600 / 60,
                    rest = whole % 60;
    if (days > 0) return QStringLiteral("%1 d %2 h").arg(german.toString(days)).arg(hours);
    if (hours > 0) return QStringLiteral("%1 h %2 min").arg(hours).arg(minutes);
    return QStringLiteral("%1 min %2 s").arg(minutes).arg(rest);
}

QString runSummary(const RunFigures& run, double wallSeconds) {
    const QString steps = SheetText::grouped(run.steps);
    return QStringLiteral("Lauf: %1 %2 in %3 – auf dem Original %4")
        .arg(steps, run.steps == 1 ? QStringLiteral("Schritt") : QStringLiteral("Schritte"),
             spokenDuration(wallSeconds), spokenDuration(static_cast<double>(run.originalNanos) / 1e9));
}

} // namespace vx
