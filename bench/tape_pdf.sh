#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A tape of 100,000 lines written as PDF (and, for comparison, as text) by
# the batch mode: time of the whole process, size and pages of the file.
# Usage: bench/tape_pdf.sh [build dir]
set -euo pipefail
bin=${1:-build}/veltranix
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A loop that prints a line every half second: 50,000 s give 100,001 lines.
printf 'PROGRAM 1\nLABEL 1\n1\nST +\n1\nRCL\n1\nPRINT\nJUMP\n1\nEND\n' >"$dir/lib.txt"
for format in txt pdf; do
  start=$(date +%s%N)
  "$bin" --library "$dir/lib.txt" --program 1 --play startStop --time-limit 50000 --tape "$dir/tape.$format" >/dev/null
  end=$(date +%s%N)
  echo "100,000-line tape as .$format: $(( (end - start) / 1000000 )) ms, $(stat -c %s "$dir/tape.$format") bytes"
done
if command -v pdfinfo >/dev/null; then pdfinfo "$dir/tape.pdf" | grep Pages; fi
