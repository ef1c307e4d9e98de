#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Set up, build and run Veltranix on a Debian or Ubuntu machine.
#
#   ./dev.sh run     install what is missing, build, start the calculator
#   ./dev.sh test    install what is missing, build, run every test (the labels
#                    machine, storage, faults, batch, fuzz, panel, app, window, install)
#
# Options (after the command):
#   --sanitize       test: also build with AddressSanitizer + UBSan (build-asan/)
#                    and run the machine, storage, faults, batch and fuzz tests under it
#   --werror         test: the compiler's warnings about our code are errors (CI)
#   --build DIR      build folder (default: build)
set -euo pipefail
cd "$(dirname "$0")"

command=${1:-}
shift || true
sanitize=0
werror=OFF
build=build
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize=1 ;;
    --werror) werror=ON ;;
    --build) build=$2; shift ;;
    *) echo "dev.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev qt6-translations-l10n
          fonts-dejavu-core fonts-comfortaa xvfb xdotool x11-utils
          desktop-file-utils appstream poppler-utils
          lintian man-db file x11-xkb-utils
          at-spi2-core python3-pyatspi dbus libglib2.0-bin
          qt6-wayland sway wtype grim wl-clipboard openbox
          libpulse-dev pulseaudio pulseaudio-utils)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DVX_WERROR="$werror" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

case "$command" in
  test)
    install_missing
    configure_and_build "$build"
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 --parallel "$(nproc)")
    if [ "$sanitize" -eq 1 ]; then
      configure_and_build "$build-asan" -DVX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
      (cd "$build-asan" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 300 --parallel "$(nproc)" -L 'machine|storage|batch|fuzz|faults')
    fi
    ;;
  run)
    install_missing
    configure_and_build "$build"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      shot="$PWD/$build/veltranix-snapshot.png"
      "./$build/veltranix" --snapshot "$shot" "12+3="
      echo "No display here to open the calculator's window on; a picture of its panel is in $shot"
      exit 0
    fi
    exec "./$build/veltranix"
    ;;
  *)
    sed -n '3,13p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
