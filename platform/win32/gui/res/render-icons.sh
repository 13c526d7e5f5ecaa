#!/usr/bin/env bash
# Renders the icon files the Windows program embeds (solka.rc) from the SVG drawings that the Qt
# layer's glyphs come from, in the sizes the window system asks for at 100 % to 200 % scaling.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
svgs="$here/../../../qt/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# SVG OUT.ico HOT SIZES...: one icon file holding every size; HOT=1 lightens it as the tool
# bar's hot glyphs are.
ico() {
  local svg=$1 out=$2 hot=$3 pngs=() size
  shift 3
  for size in "$@"; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$tmp/$size.png"
    [[ $hot == 1 ]] && convert "$tmp/$size.png" -modulate 125,140 "PNG32:$tmp/$size.png"
    pngs+=("$tmp/$size.png")
  done
  convert "${pngs[@]}" "$out"
}

for svg in "$svgs"/icon-*.svg; do
  index=${svg##*/icon-}
  ico "$svg" "$here/icon-${index%%-*}.ico" 0 16 20 24 32 40 48 64 256
done
for svg in "$svgs"/toolbar-*.svg; do
  index=${svg##*/toolbar-}
  ico "$svg" "$here/toolbar-${index%%-*}.ico" 0 16 20 24 32
  ico "$svg" "$here/toolbar-hot-${index%%-*}.ico" 1 16 20 24 32
done
ico "$svgs/tray-button.svg" "$here/tray-button.ico" 0 12 16 18 24
