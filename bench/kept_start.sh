#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How soon the window appears with a large kept machine ("Dauerspeicher"):
# a state whose tape holds LINES lines (3,000,000 by default; the roll keeps
# the newest million), on a private X server. Prints the seconds until the
# window is mapped and the process's peak memory then.
#   bench/kept_start.sh [build dir] [lines]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
lines=${2:-3000000}
source "$(dirname "$0")/private_display.sh"
mkdir -p "$home/config/Veltranix" "$home/data/Veltranix"
printf '[General]\nkeepMachine=true\n' > "$home/config/Veltranix/Veltranix.conf"
# A kept machine from the batch mode, its tape made long.
"$build/veltranix" --play '1 printKey' --save-state "$home/small.state" >/dev/null
state=$home/data/Veltranix/Veltranix.state
grep -v '^tape \|^end$' "$home/small.state" > "$state"
awk -v n="$lines" 'BEGIN { for (i = 1; i <= n; i++) printf "tape %d %d 0 \"%d.0000\" \"+\" 0\n", i, i % 2, i; print "end" }' >> "$state"
echo "kept machine: $(du -h "$state" | cut -f1) with $lines tape lines"
start=$(date +%s.%N)
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/veltranix" 2>/dev/null &
app=$!
DISPLAY=$display xdotool search --sync --onlyvisible --name Veltranix >/dev/null
end=$(date +%s.%N)
sleep 0.5
peak=$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$app/status")
kill $app 2>/dev/null || true
wait $app 2>/dev/null || true
echo "window shown after $(echo "$end - $start" | bc -l | cut -c1-5) s; peak memory ${peak} MB"
