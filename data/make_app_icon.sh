#!/usr/bin/env bash
# Renders the application icon data/icons/skyvane.svg into the 64 px PNG
# beside it, for menus and docks that do not draw SVG.
# Usage: data/make_app_icon.sh   (needs rsvg-convert, Debian's librsvg2-bin)
set -euo pipefail
readonly size=64
icons=$(cd "$(dirname "$0")/icons" && pwd)
rsvg-convert --width "$size" --height "$size" "$icons/skyvane.svg" \
  --output "$icons/skyvane-${size}.png"
