#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the application icon's PNG sizes from its SVG (needs rsvg-convert,
# Debian package librsvg2-bin). The PNGs are committed; run this after
# changing resources/icons/de.veltranix.Veltranix.svg.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" de.veltranix.Veltranix.svg -o "de.veltranix.Veltranix-$size.png"
done
