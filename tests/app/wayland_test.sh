#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The calculator as a native Wayland client: a headless compositor (sway,
# software rendering) run as an ordinary user, keys typed with wtype, the
# display read back through the clipboard ("Zahl kopieren", wl-paste) and
# a picture taken with grim. Exit 77 (skipped) only when the parts are
# missing or the compositor cannot start here.
#   tests/app/wayland_test.sh VELTRANIX_BINARY
set -euo pipefail
binary=$1
for need in sway wtype grim wl-paste; do
  command -v "$need" >/dev/null || { echo "skipped: $need is missing (./dev.sh test installs it)"; exit 77; }
done
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "skipped: Qt's Wayland platform plugin is missing (qt6-wayland)"; exit 77; }

home=$(mktemp -d)
chmod 755 "$home"
# The compositor refuses to run as root; the calculator runs beside it as the same user.
as=()
if [ "$(id -u)" -eq 0 ]; then
  as=(runuser -u nobody --)
  chown nobody "$home"
fi
cp "$binary" "$home/veltranix"
chmod 755 "$home/veltranix"
run() { "${as[@]}" env -u DISPLAY XDG_RUNTIME_DIR="$home" WAYLAND_DISPLAY=wayland-vx HOME="$home" \
  XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$@"; }
cat >"$home/sway.conf" <<'EOF'
output * resolution 1920x1080
EOF
"${as[@]}" env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$home" HOME="$home" WLR_BACKENDS=headless \
  WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$home/sway.conf" >"$home/sway.log" 2>&1 &
compositor=$!
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$compositor" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
# sway names its socket itself; link the name the test uses.
for _ in $(seq 50); do
  socket=$(find "$home" -maxdepth 1 -name 'wayland-[0-9]*' -type s | head -n1)
  [ -n "$socket" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "skipped: the compositor did not start"; cat "$home/sway.log"; exit 77; }
"${as[@]}" ln -s "$socket" "$home/wayland-vx"

run env QT_QPA_PLATFORM=wayland "$home/veltranix" >"$home/app.log" 2>&1 &
app=$!
sleep 2
kill -0 "$app" 2>/dev/null || { echo "the calculator did not start as a Wayland client:"; cat "$home/app.log"; exit 1; }

failed=0
passed=0
# wtype uploads a keymap for every call; the pause lets the client take it
# before the first key.
check() {
  local keys=$1 expected=$2
  run wtype -s 300 -M shift -k Escape -m shift
  run wtype -s 300 -d 40 "$keys"
  sleep 0.5
  run wtype -s 300 -M ctrl c -m ctrl
  sleep 0.5
  local shown
  shown=$(run wl-paste --no-newline 2>/dev/null || true)
  if [ "$shown" = "$expected" ]; then
    echo "ok: $keys shows $shown"
    passed=$((passed + 1))
  else
    echo "FAILED: $keys shows '$shown', expected '$expected'"
    failed=$((failed + 1))
  fi
}
check '12+3=' 15
check '2^3=' 8

run grim "$home/panel.png"
size=$(stat -c %s "$home/panel.png" 2>/dev/null || echo 0)
if [ "$size" -gt 50000 ]; then
  echo "ok: the compositor shows the panel ($size bytes of picture)"
  passed=$((passed + 1))
else
  echo "FAILED: no picture of the panel"
  failed=$((failed + 1))
fi
echo "wayland: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
