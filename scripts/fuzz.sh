#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one fuzz target with libFuzzer (clang) for a while, growing its corpus.
#   scripts/fuzz.sh program_text|machine|script [seconds, default 600]
# New inputs go to build-fuzz/corpus-TARGET; a crashing input is written to
# build-fuzz/ and belongs in fuzz/corpus/TARGET once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target: program_text, machine or script}
seconds=${2:-600}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "${target}_fuzz"
mkdir -p "build-fuzz/corpus-$target"
cd build-fuzz
export QT_QPA_PLATFORM=offscreen
"./${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 "corpus-$target" "../fuzz/corpus/$target"
