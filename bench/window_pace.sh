#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window benchmark on a private X server: pace and CPU of a computing
# loop in the real window, and of the idle window.
#   bench/window_pace.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
home=$(mktemp -d)
Xvfb :73 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
chmod 700 "$home"
sleep 1
DISPLAY=:73 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
  "$build/window_pace" "$seconds" 2>/dev/null
