#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fills the tape excerpts of docs/Bedienungsanleitung.md from the batch mode.

Every block that follows a line <!-- batch: ARGS --> is replaced by what
`veltranix ARGS` prints. The test "Guide.TapeExcerptsMatchTheProgram" fails
when the guide and the program disagree; run this to bring the guide up to date:
    tools/update_guide.py [build dir]
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
binary = os.path.join(root, sys.argv[1] if len(sys.argv) > 1 else "build", "veltranix")
guide = os.path.join(root, "docs", "Bedienungsanleitung.md")
lines = open(guide, encoding="utf-8").read().split("\n")
out = []
i = 0
with tempfile.TemporaryDirectory() as home:
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(XDG_DATA_HOME=home, XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=home)
    while i < len(lines):
        line = lines[i]
        out.append(line)
        m = re.match(r"^(\s*)<!-- batch: (.*) -->$", line)
        i += 1
        if not m:
            continue
        indent = m.group(1)
        assert lines[i].strip() == "```", f"line {i + 1}: a fenced block must follow"
        out.append(lines[i])
        i += 1
        while lines[i].strip() != "```":
            i += 1
        result = subprocess.run([binary] + shlex.split(m.group(2)), cwd=root, env=env, capture_output=True,
                                text=True, check=True)
        out.extend(indent + l if l else l for l in result.stdout.rstrip("\n").split("\n"))
        out.append(lines[i])
        i += 1
open(guide, "w", encoding="utf-8").write("\n".join(out))
