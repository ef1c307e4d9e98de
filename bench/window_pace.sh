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
home=$(mktemp -d)
# A display of its own: the previous benchmark's server may still be going away.
display=73
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
chmod 700 "$home"
sleep 1
DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
  "$build/$program" "$seconds" "$@" 2>/dev/null
