#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound benchmark: a private X server and a private PulseAudio server
# with a sink that plays into nothing (run as an unprivileged user, as a
# desktop's is), and the window playing through it.
#   bench/window_sound.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
source "$(dirname "$0")/private_display.sh"
sound=$(mktemp -d)
as=()
if [ "$(id -u)" -eq 0 ]; then chown nobody "$sound"; as=(runuser -u nobody --); fi
"${as[@]}" env HOME="$sound" XDG_RUNTIME_DIR="$sound" XDG_CONFIG_HOME="$sound" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --disable-shm=yes -L "module-null-sink sink_name=vx rate=48000" \
  -L "module-native-protocol-unix socket=$sound/socket auth-anonymous=1" >/dev/null 2>&1 &
server=$!
trap 'kill $server $xvfb 2>/dev/null || true; rm -rf "$home" "$sound"' EXIT
for _ in $(seq 50); do [ -S "$sound/socket" ] && break; sleep 0.1; done
PULSE_SERVER="unix:$sound/socket" DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/window_sound" "$seconds" 2>/dev/null
