// SPDX-License-Identifier: GPL-3.0-or-later
// What the window calls the two models: the product's name in titles, the
// machine's own plate name in the model menu and its questions.
#pragma once

#include "engine/Types.h"

#include <QString>

namespace vx {

inline QString modelTitle(Model m) {
    return QStringLiteral("Veltranix %1 Numerist").arg(QString::fromStdString(rawValue(m)));
}
inline QString menuTitle(Model m) {
    return QStringLiteral("Orbis %1 Numerist").arg(QString::fromStdString(rawValue(m)));
}

} // namespace vx
