#!/usr/bin/env bash
# cmake --install into a fresh prefix; the desktop entry and the AppStream
# metainfo must pass their validators.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/veltranix share/applications/de.veltranix.Veltranix.desktop \
         share/metainfo/de.veltranix.Veltranix.metainfo.xml \
         share/icons/hicolor/scalable/apps/de.veltranix.Veltranix.svg \
         share/icons/hicolor/48x48/apps/de.veltranix.Veltranix.png \
         share/icons/hicolor/256x256/apps/de.veltranix.Veltranix.png \
         share/veltranix/Vxpanel.png share/doc/veltranix/Bedienungsanleitung.md; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/de.veltranix.Veltranix.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/de.veltranix.Veltranix.metainfo.xml"
