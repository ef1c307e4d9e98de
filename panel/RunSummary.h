// SPDX-License-Identifier: GPL-3.0-or-later
// A run in words: how many steps, how long it took here and how long it
// would have taken on the original ("Lauf: 1.234.567 Schritte in 2,1 s –
// auf dem Original 6 min 52 s").
#pragma once

#include "engine/Engine.h"

#include <QString>

namespace vx {

// A duration as a person would say it: "0,5 s", "2,1 s", "6 min 52 s",
// "3 h 5 min", "2 d 4 h".
QString spokenDuration(double seconds);
// The run's summary; `wallSeconds` is how long it took in this window.
QString runSummary(const RunFigures& run, double wallSeconds);

} // namespace vx
