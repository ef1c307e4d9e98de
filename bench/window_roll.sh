#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An endless printing loop in the fast tempo in the real window on a private
# X server: peak memory and the event loop's longest wait, minute by minute.
#   bench/window_roll.sh [build dir] [seconds, 600 by default]
exec "$(dirname "$0")/window_pace.sh" "${1:-build}" "${2:-600}" window_roll
