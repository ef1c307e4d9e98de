#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, installs it, starts the calculator from its
# desktop entry in a private X server, checks its window, and removes the
# package again. Needs root (dpkg), Xvfb, xdotool and dex.
#   scripts/package_check.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" --target veltranix
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/veltranix_*.deb | head -1)
echo "package: $deb"
dpkg-deb --info "$deb" | sed -n 's/^ Depends:/depends:/p'
dpkg -i "$deb" >/dev/null
desktop-file-validate /usr/share/applications/de.veltranix.Veltranix.desktop
appstreamcli validate --no-net /usr/share/metainfo/de.veltranix.Veltranix.metainfo.xml >/dev/null

home=$(mktemp -d)
Xvfb :72 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
chmod 700 "$home"
export DISPLAY=:72 XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
sleep 1
dex /usr/share/applications/de.veltranix.Veltranix.desktop &
win=$(timeout 20 xdotool search --sync --name 'Veltranix 410 Numerist' | head -1)
echo "window from the desktop entry: $(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')"
pkill -x veltranix || true
dpkg -r veltranix >/dev/null
[ ! -e /usr/bin/veltranix ] && echo "removed cleanly"
