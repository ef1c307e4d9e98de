#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install into a fresh prefix: everything is in its place, the desktop
# entry and the AppStream metainfo pass their validators, the manual page
# renders, and version and licence agree everywhere. Then the Debian package:
# lintian (when installed) reports no error and no warning.
#   tests/install_check.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/veltranix share/applications/de.veltranix.Veltranix.desktop \
         share/metainfo/de.veltranix.Veltranix.metainfo.xml \
         share/icons/hicolor/scalable/apps/de.veltranix.Veltranix.svg \
         share/icons/hicolor/48x48/apps/de.veltranix.Veltranix.png \
         share/icons/hicolor/256x256/apps/de.veltranix.Veltranix.png \
         share/doc/veltranix/Bedienungsanleitung.md share/doc/veltranix/images/panel-sum.png \
         share/doc/veltranix/copyright share/doc/veltranix/changelog.gz \
         share/man/man1/veltranix.1.gz share/lintian/overrides/veltranix; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
# The program collection, beside the program where it looks for it; no one
# but its owner (root, once packaged) may write it.
for model in 410 412; do
  for area in Mathematik Statistik Finanzen Technik Kalender; do
    f="$prefix/share/veltranix/Programmsammlung/$model/$area.txt"
    [ -f "$f" ] || { echo "missing after install: $f"; exit 1; }
    [ -z "$(find "$f" -perm /022)" ] || { echo "the collection must be read-only: $f"; exit 1; }
  done
done
desktop-file-validate "$prefix/share/applications/de.veltranix.Veltranix.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/de.veltranix.Veltranix.metainfo.xml"

# One version: the program, the metainfo's release, the changelog.
version=$("$prefix/bin/veltranix" --version)
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$prefix/share/metainfo/de.veltranix.Veltranix.metainfo.xml")
changelog=$(zcat "$prefix/share/doc/veltranix/changelog.gz" | sed -n '1s/^veltranix (\([^)]*\)).*/\1/p')
[ "$version" = "Veltranix $release" ] && [ "$release" = "$changelog" ] ||
  { echo "versions disagree: '$version', metainfo '$release', changelog '$changelog'"; exit 1; }
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$prefix/share/metainfo/de.veltranix.Veltranix.metainfo.xml"

if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/veltranix.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "the manual page does not render cleanly: $warnings"; exit 1; }
fi

if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$prefix" && cpack --config "$build/CPackConfig.cmake" -B "$prefix/package" >/dev/null)
  deb=$(ls "$prefix"/package/veltranix_*.deb)
  [ "$(dpkg-deb -f "$deb" Version)" = "$release" ] || { echo "the package's version is not $release"; exit 1; }
  # Wayland desktops get a native window when Qt's Wayland plugin is there; X11 needs nothing more.
  [ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland" ] || { echo "the package does not recommend qt6-wayland"; exit 1; }
  if dpkg-deb -f "$deb" Depends | grep -q wayland; then echo "the package depends on Wayland"; exit 1; fi
  # The package's binary is stripped; the build's keeps its debug information.
  dpkg-deb -x "$deb" "$prefix/unpacked"
  if file "$prefix/unpacked/usr/bin/veltranix" | grep -q 'not stripped'; then echo "unstripped binary in the package"; exit 1; fi
  if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' || true
    lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || { echo "lintian reports errors or warnings"; exit 1; }
  else
    echo "lintian is not installed: the package was not checked (./dev.sh test installs it)"
  fi
fi
