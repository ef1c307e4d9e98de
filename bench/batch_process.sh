#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the whole batch process for a one-line calculation, and the step rate
# of a computing loop in batch mode. Usage: bench/batch_process.sh [build dir]
set -euo pipefail
bin=${1:-build}/veltranix
runs=50
start=$(date +%s%N)
for _ in $(seq $runs); do "$bin" --play '12 + 3 =' >/dev/null; done
end=$(date +%s%N)
echo "one-line calculation, whole process: $(( (end - start) / runs / 1000 )) µs (mean of $runs)"

lib=$(mktemp)
trap 'rm -f "$lib"' EXIT
printf 'PROGRAM 1\nLABEL 1\n1\nST +\n1\nJUMP\n1\nEND\n' >"$lib"
start=$(date +%s%N)
out=$("$bin" --library "$lib" --program 1 --play startStop --time-limit 1000 --json)
end=$(date +%s%N)
rounds=$(printf '%s' "$out" | sed -n 's/.*"registers": \[[^,]*, \([0-9.e+]*\),.*/\1/p')
steps=$(python3 -c "print(int(4 * float('$rounds')))")
ms=$(( (end - start) / 1000000 ))
echo "computing loop in batch mode: $steps steps in $ms ms: $(python3 -c "print(round($steps / max($ms, 1) * 1000))") steps/s"
