#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole --snapshot process against its floor (a bare Qt start that decodes
# the snapshot's PNG and writes it again), alternating, measured the same way.
# Usage: bench/snapshot_time.sh [build dir] [rounds]
set -euo pipefail
build=${1:-build}
rounds=${2:-30}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data
unset DISPLAY WAYLAND_DISPLAY
"$build/veltranix" --snapshot "$dir/snap.png" "12+3="
snap=0 floor=0
for _ in $(seq "$rounds"); do
  t0=$(date +%s%N); "$build/veltranix" --snapshot "$dir/out.png" "12+3="; t1=$(date +%s%N)
  "$build/snapshot_floor" "$dir/snap.png" "$dir/floor.png"; t2=$(date +%s%N)
  snap=$((snap + t1 - t0)); floor=$((floor + t2 - t1))
done
echo "snapshot: $((snap / rounds / 1000)) µs, floor: $((floor / rounds / 1000)) µs, ratio $(python3 -c "print(round($snap / $floor, 2))")"
