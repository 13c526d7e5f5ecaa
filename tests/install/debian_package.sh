#!/usr/bin/env bash
# The Debian package: built by tools/package, accepted by lintian without errors, and, unpacked
# into a throw-away root, every file where the menu, the icon theme, the software centre and
# man look for it, each accepted by its validator; the program users start links no GUI or media
# library and starts the player program installed beside it.
# Usage: debian_package.sh [PACKAGE.deb]   (without one, tools/package builds it)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

deb=${1:-$("$root/tools/package" deb "$work/out" | tail -n 1)}
[[ -f $deb ]] || fail "no package built"
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 ||
  { cat "$work/lintian"; fail "lintian reports errors"; }
sed 's/^/lintian: /' "$work/lintian"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libgstreamer1.0-0 libqt6dbus6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

tree="$work/root"
dpkg-deb -x "$deb" "$tree"
program="$tree/usr/bin/solka"
[[ -x $program ]] || fail "no /usr/bin/solka"
player="$tree/usr/lib/solka/solka-player"
[[ -x $player ]] || fail "no /usr/lib/solka/solka-player"
for elf in "$program" "$player"; do
  readelf -S "$elf" | grep -q '\.symtab' && fail "$elf is not stripped"
done
readelf -d "$program" | grep -q 'NEEDED.*\(Qt\|gst\|glib\|dbus\)' && fail "the front links $(readelf -d "$program")"
# Started from the unpacked tree, the front finds the player program there; a later start hands
# over to it.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen SOLKA_AUDIO_SINK=fakesink
"$program" 2>"$work/player.err" &
for _ in $(seq 600); do [[ -S $work/runtime/solka/TDODEDEV ]] && break; sleep 0.1; done
status=0
timeout 60 "$program" ZZZ_NEXT_PLAY 2>>"$work/player.err" || status=$?
kill -TERM $! && wait $! || fail "the installed player did not end normally: $(cat "$work/player.err")"
[[ $status -eq 1 ]] || fail "a hand-over to the installed player: status $status, $(cat "$work/player.err")"
# The settings tab's link opens the installed README, which must be there uncompressed.
[[ -f $tree/usr/share/doc/solka/README.md ]] || fail "no README.md"
[[ -f $tree/usr/share/doc/solka/copyright ]] || fail "no copyright file"
[[ -f $tree/usr/share/man/man1/solka.1.gz ]] || fail "no manual page"

entry="$tree/usr/share/applications/solka.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec=/usr/bin/solka %f' "$entry" || fail "Exec line: $(grep ^Exec= "$entry")"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16x16 32x32 48x48 256x256 scalable; do
  ls "$tree/usr/share/icons/hicolor/$size/apps/$icon".* >/dev/null 2>&1 ||
    fail "no $size icon named $icon"
done

metainfo=$(ls "$tree"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<.*/\1/p' "$metainfo")
[[ -f $tree/usr/share/applications/$launchable ]] || fail "the metainfo launches $launchable"
echo "PASS: package $(basename "$deb") validates and installs its files where they are looked for"
