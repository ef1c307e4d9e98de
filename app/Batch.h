// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vx {

// The headless batch mode: --play, --list and --help.
int runBatch(int argc, char** argv);

} // namespace vx
