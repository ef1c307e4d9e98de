#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file names its licence in one SPDX line near its top.
#   tests/spdx_check.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if [ -d .git ] && command -v git >/dev/null; then
  files=$(git ls-files)
else
  files=$(find . -path ./build\* -prune -o -type f -print | sed 's|^\./||')
fi
missing=0
while IFS= read -r f; do
  case "$f" in
    fuzz/corpus/*) continue ;;
    *.cpp|*.h|*.sh|*.py|*CMakeLists.txt|*.in|*.1|*.desktop|*.qrc|*.svg|.ci/run|dev.sh) ;;
    *) continue ;;
  esac
  [ -f "$f" ] || continue
  if ! head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
    echo "no SPDX line: $f"
    missing=1
  fi
done <<<"$files"
exit $missing
