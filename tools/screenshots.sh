#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the pictures in docs/images: the panel by --snapshot, and the real
# window at 150 % and 50 % with a menu open, in a private X server.
# Needs Xvfb, xdotool and ImageMagick's import.  Usage: tools/screenshots.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/veltranix
out=docs/images
home=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
export XDG_RUNTIME_DIR=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
chmod 700 "$home"

env -u DISPLAY "$bin" --snapshot "$out/panel-sum.png" "12+3="
env -u DISPLAY "$bin" --snapshot "$out/panel-load.png" "L"

# A library with a few programs, so the menu has something to show.
mkdir -p "$XDG_DATA_HOME/Veltranix 410"
cp examples/410/Technik.txt "$XDG_DATA_HOME/Veltranix 410/Veltranix410Programs.txt" 2>/dev/null || true

Xvfb :71 -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:71
sleep 1
shoot() { # zoom percent, file, open the program menu?
  mkdir -p "$XDG_CONFIG_HOME/Veltranix"
  printf '[General]\nzoomPercent=%s\n' "$1" >"$XDG_CONFIG_HOME/Veltranix/Veltranix.conf"
  "$bin" &
  local app=$!
  local win
  win=$(xdotool search --sync --name 'Veltranix 410 Numerist' | head -1)
  sleep 1
  xdotool type --delay 40 '2^10-24=p'
  sleep 0.5
  if [ "$3" = menu ]; then
    xdotool mousemove 30 10 click 1
    sleep 0.6
  fi
  local geometry
  geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
  import -window root -crop "${geometry/x/x}+0+0" "$2"
  if [ "$3" = menu ]; then xdotool key Escape; fi
  kill "$app"
  wait "$app" 2>/dev/null || true
}
shoot 150 "$out/window-150-menu.png" menu
shoot 50 "$out/window-50.png" plain

# Starts the window with a program file and opens its program sheet,
# `height` pixels high, at the screen's corner: sets `app` and `sheet`.
open_sheet() { # program file, height
  "$bin" "$1" &
  app=$!
  xdotool search --sync --name 'Veltranix 410 Numerist' >/dev/null
  sleep 1
  xdotool key ctrl+b
  sheet=$(xdotool search --sync --name 'Programmblatt' | head -1)
  xdotool windowsize "$sheet" 900 "$2" windowmove "$sheet" 0 0
  sleep 0.5
}

# Takes the sheet's picture a moment later, then ends the window.
close_sheet() { # picture's file name in docs/images
  sleep 0.6
  local geometry
  geometry=$(xdotool getwindowgeometry "$sheet" | sed -n 's/.*Geometry: //p')
  import -window root -crop "${geometry}+0+0" "$out/$1"
  kill "$app"
  wait "$app" 2>/dev/null || true
}

# The program sheet beside the panel: a counting loop after a short run,
# then a calculation left open.
shoot_sheet() {
  printf '[General]\nzoomPercent=100\n' >"$XDG_CONFIG_HOME/Veltranix/Veltranix.conf"
  cat >"$home/Zaehler.txt" <<'PROGRAM'
VELTRANIX 410

PROGRAM 1
NAME Zähler
001  LABEL 1
002  RCL
003  1
004  +
005  1
006  =
007  ST
008  1
009  JUMP
010  1
END
PROGRAM
  open_sheet "$home/Zaehler.txt" 520
  xdotool key space
  sleep 1.5
  xdotool key space
  sleep 0.3
  xdotool type --delay 60 '(2+(3*'
  close_sheet program-sheet.png
}
shoot_sheet

# The program sheet's timeline after a short printing run, walked back a few steps.
shoot_timeline() {
  printf '%s\n' 'VELTRANIX 410' 'PROGRAM 1' 'NAME Sechs' 'LABEL 1' 'RCL' '1' '+' '1' '=' 'ST' '1' 'PRINT' \
    '-' '6' '=' 'JUMP -' '1' 'STOP' 'END' >"$home/Sechs.txt"
  open_sheet "$home/Sechs.txt" 560
  xdotool key space
  sleep 4
  for _ in 1 2 3 4 5 6 7 8 9 10 11; do xdotool key ctrl+Left; sleep 0.1; done
  close_sheet history-timeline.png
}
shoot_timeline

# The guide's window with a search, and the command search over the panel.
shoot_help() {
  printf '[General]\nzoomPercent=100\n' >"$XDG_CONFIG_HOME/Veltranix/Veltranix.conf"
  "$bin" &
  local app=$!
  local win
  win=$(xdotool search --sync --name 'Veltranix 410 Numerist' | head -1)
  xdotool windowmove "$win" 0 0
  sleep 1
  xdotool key F1
  local guide
  guide=$(xdotool search --sync --name 'Bedienungsanleitung' | head -1)
  xdotool windowsize "$guide" 980 640 windowmove "$guide" 0 0
  sleep 0.5
  xdotool key ctrl+f
  xdotool type --delay 40 'Papierstreifen'
  xdotool key Return
  sleep 0.6
  local geometry
  geometry=$(xdotool getwindowgeometry "$guide" | sed -n 's/.*Geometry: //p')
  import -window root -crop "${geometry}+0+0" "$out/guide-viewer.png"
  xdotool key Escape
  sleep 0.3
  xdotool windowfocus --sync "$win"
  xdotool key ctrl+alt+i
  local bar
  bar=$(xdotool search --sync --name 'Aktion suchen' | head -1)
  xdotool windowmove "$bar" 0 0
  xdotool type --delay 60 'sin'
  sleep 0.6
  geometry=$(xdotool getwindowgeometry "$bar" | sed -n 's/.*Geometry: //p')
  import -window root -crop "${geometry}+0+0" "$out/command-bar.png"
  xdotool key Escape
  kill "$app"
  wait "$app" 2>/dev/null || true
}
shoot_help
echo "pictures in $out"
