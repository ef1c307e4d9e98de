#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A 10 MB script read with --script: time and peak memory of the whole process.
# Usage: bench/script_file.sh [build dir]
set -euo pipefail
bin=${1:-build}/veltranix
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# "1 + 2 = " over and over: every word a key, about 10 MB of text.
python3 -c "
import sys
sys.stdout.write('1 + 2 = ' * (10 * 1024 * 1024 // 8))" >"$dir/script.txt"
/usr/bin/time -f '%e s, peak %M KiB' -o "$dir/time" "$bin" --script "$dir/script.txt" >"$dir/out"
echo "10 MB script ($(wc -c <"$dir/script.txt") bytes, $(wc -l <"$dir/out") output lines): $(cat "$dir/time")"
