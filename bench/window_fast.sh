#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fast tempo in the real window on a private X server: the loop's rate
# beside the batch mode's machine, the event loop's longest wait, and how
# soon a typed START STOP stops the run.
#   bench/window_fast.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-5}
home=$(mktemp -d)
Xvfb :74 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
chmod 700 "$home"
sleep 1
DISPLAY=:74 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
  "$build/window_fast" "$seconds" 2>/dev/null
