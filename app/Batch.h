// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace vx {

// The headless batch mode: --play, --list and --help.
int runBatch(int argc, char** argv);

// The message handler of every run without a window: only fatal messages,
// the run reports its own failures.
void quietQt(QtMsgType type, const QMessageLogContext& context, const QString& message);

} // namespace vx
