#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window benchmark on a private X server: pace and CPU of a computing
# loop in the real window, and of the idle window.
#   bench/window_pace.sh [build dir] [seconds] [benchmark program, window_pace by default] [sheet]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
program=${3:-window_pace}
shift $(( $# < 3 ? $# : 3 ))
source "$(dirname "$0")/private_display.sh"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/$program" "$seconds" "$@" 2>/dev/null
