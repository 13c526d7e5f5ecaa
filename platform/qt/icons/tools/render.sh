#!/usr/bin/env bash
# Renders the PNGs the program embeds (platform/qt/icons.qrc) from the SVG drawings beside them.
# Tool-bar glyphs are 16x16 in a normal and a brighter "hot" variant; the icon groups are 32x32.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p png/toolbar/normal png/toolbar/hot png/icons

for svg in toolbar-*.svg; do
  index=${svg#toolbar-}
  index=${index%%-*}
  rsvg-convert -w 16 -h 16 "$svg" -o "png/toolbar/normal/$index.png"
  # The hot glyph shows under the mouse: the same picture, lighter and more saturated.
  convert "png/toolbar/normal/$index.png" -modulate 125,140 -strip "PNG32:png/toolbar/hot/$index.png"
done
rsvg-convert -w 16 -h 16 tray-button.svg -o png/toolbar/tray.png

for svg in icon-*.svg; do
  index=${svg#icon-}
  index=${index%%-*}
  rsvg-convert -w 32 -h 32 "$svg" -o "png/icons/$index.png"
done

# The program's icon in the desktop's icon theme, installed with the desktop entry.
for size in 16 24 32 48 64 128 256; do
  folder="../../../dist/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$folder"
  rsvg-convert -w "$size" -h "$size" icon-0-main.svg -o "$folder/solka.png"
done
