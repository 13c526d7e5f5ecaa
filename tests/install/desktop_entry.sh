#!/usr/bin/env bash
# cmake --install into a private prefix puts the program (and the player program it starts), a
# valid desktop entry that opens one file with it, and the icon in every size of the icon theme
# where the desktop looks for them.
# Usage: desktop_entry.sh BUILD-FOLDER
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$1" --prefix "$prefix" >/dev/null
entry="$prefix/share/applications/solka.desktop"
[[ -x $prefix/bin/solka ]] || fail "no program in bin/"
[[ -x $prefix/lib/solka/solka-player ]] || fail "no player program in lib/solka/"
[[ -f $entry ]] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate"
# The absolute path of the installed program: "Open with" must not depend on PATH.
grep -qx "Exec=$prefix/bin/solka %f" "$entry" || fail "Exec line: $(grep ^Exec= "$entry")"
grep -qx 'Icon=solka' "$entry" || fail "Icon line"
types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n')
for type in audio/mpeg audio/midi audio/x-wav audio/x-ms-wma application/vnd.ms-asf audio/ogg \
  audio/flac audio/x-ape video/3gpp2 audio/aac audio/mp4 audio/x-mpegurl; do
  grep -qx "$type" <<<"$types" || fail "MimeType lacks $type"
done
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/solka.png"
  [[ -f $icon ]] || fail "no ${size}x${size} icon"
  # Width and height from the PNG header.
  dims=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
  [[ $((16#${dims:0:8}))x$((16#${dims:8:8})) == "${size}x$size" ]] || fail "$icon is not ${size}x$size"
done
[[ -f $prefix/share/icons/hicolor/scalable/apps/solka.svg ]] || fail "no scalable icon"
echo "PASS: program, desktop entry and icons installed"
