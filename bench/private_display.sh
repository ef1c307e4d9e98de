# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the window benchmarks: a private X server and a private home.
# Sets display (":N"), home and xvfb, and removes both again on exit.
home=$(mktemp -d)
# A display of its own: the previous benchmark's server may still be going away.
display=73
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
chmod 700 "$home"
export XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
sleep 1
display=":$display"
