#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fast tempo in the real window on a private X server: the loop's rate
# beside the batch mode's machine, the event loop's longest wait, and how
# soon a typed START STOP stops the run.
#   bench/window_fast.sh [build dir] [seconds]
exec "$(dirname "$0")/window_pace.sh" "${1:-build}" "${2:-5}" window_fast
