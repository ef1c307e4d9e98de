#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The calculator on the real accessibility bus: a private X server, a private
# D-Bus session with at-spi2-core's bus, and a client that presses keys
# through their actions and reads the display. Exit 77 (skipped) only when
# the bus cannot be had here.
#   tests/app/atspi_test.sh VELTRANIX_BINARY
set -euo pipefail
binary=$1
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
for need in Xvfb dbus-run-session "$launcher"; do
  command -v "$need" >/dev/null || { echo "skipped: $need is missing (./dev.sh test installs at-spi2-core)"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is missing"; exit 77; }

home=$(mktemp -d)
chmod 700 "$home"
display=79
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
# A program to show in the sheet: SIN COS TAN. And one for the timeline, run
# in the fast tempo: LABEL 1, 1, ST+ 1, RCL 1, -, 7142857, =, JUMP - 1, STOP
# (99,999,999 steps).
printf 'VELTRANIX 410\n\nPROGRAM 1\nNAME Drei\n001  SIN\n002  COS\n003  TAN\nEND\n' >"$home/drei.txt"
printf '%s\n' 'PROGRAM 1' 'LABEL 1' 1 'ST +' 1 RCL 1 - 7 1 4 2 8 5 7 = 'JUMP -' 1 STOP END >"$home/loop.txt"
export PROGRAM_FILE=$home/drei.txt LOOP_FILE=$home/loop.txt
export DISPLAY=":$display" XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

dbus-run-session -- bash -c '
  "'"$launcher"'" --launch-immediately >/dev/null 2>&1 &
  for _ in $(seq 50); do
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    echo "skipped: the accessibility bus did not start"; exit 77
  fi
  "'"$binary"'" "$PROGRAM_FILE" >/dev/null 2>&1 &
  app=$!
  /usr/bin/python3 "'"$here"'/atspi_check.py"
  status=$?
  kill $app 2>/dev/null
  wait $app 2>/dev/null
  [ $status = 0 ] || exit $status
  mkdir -p "$XDG_CONFIG_HOME/Veltranix"
  printf "[General]\ntempo=fast\n" >"$XDG_CONFIG_HOME/Veltranix/Veltranix.conf"
  "'"$binary"'" "$LOOP_FILE" >/dev/null 2>&1 &
  app=$!
  PYTHONPATH="'"$here"'" /usr/bin/python3 "'"$here"'/atspi_timeline.py"
  status=$?
  kill $app 2>/dev/null
  exit $status
'
