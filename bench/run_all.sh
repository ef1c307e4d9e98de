#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark of the project against a built tree (default: build).
#   bench/run_all.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir
echo "== machine"; "$build/machine_bench" --benchmark_min_time=0.5
echo "== library"; "$build/storage_bench" --benchmark_min_time=0.5
echo "== panel"; "$build/panel_bench" --benchmark_min_time=0.5
echo "== program menu"; "$build/menu_bench" --benchmark_min_time=0.5
echo "== batch process"; bench/batch_process.sh "$build"
echo "== script file"; bench/script_file.sh "$build"
echo "== tape as PDF"; bench/tape_pdf.sh "$build"
echo "== snapshot"; bench/snapshot_time.sh "$build" 30
echo "== real-time pace"; "$build/run_pace" 10
echo "== the real window"; bench/window_pace.sh "$build" 10
echo "== the real window with the program sheet open"; bench/window_pace.sh "$build" 10 window_pace sheet
echo "== the fast tempo in the real window"; bench/window_fast.sh "$build" 5
echo "== an endless printing loop in the real window (one minute; ten with bench/window_roll.sh)"; bench/window_roll.sh "$build" 60
echo "== the window with a kept machine of 3,000,000 tape lines"; bench/kept_start.sh "$build" 3000000
echo "== the machine heard through a private sound server"; bench/window_sound.sh "$build" 10
