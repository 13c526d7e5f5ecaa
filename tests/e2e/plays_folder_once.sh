#!/usr/bin/env bash
# The real program on a folder of three short tracks, in list order once (the default mode):
# each track plays in turn, and the caption ends idle.
# Usage: plays_folder_once.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
for name in track1 track2 track3; do
  tone "$name.wav" wavenc
done
# Path order makes the list order independent of the folder's listing order.
printf '[SETTING]\r\nSort=1\r\n' >"$work/bin/solka.ini"

export -n QT_QPA_PLATFORM
setsid xvfb-run -a "$solka" "$work/music" 2>"$err" >/dev/null &
pid=$!
pgid=$pid
trap 'kill -TERM -- "-$pgid" 2>/dev/null || true; e2e_cleanup' EXIT

last_caption() { captions | tail -n 1; }

# Three one-second tracks; allow for a slow first start of the decoders and the X server.
for _ in $(seq 1 300); do
  if captions | grep -qx track3 && [[ $(last_caption) == "$idle" ]]; then break; fi
  kill -0 "$pgid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
# Nothing may start after the end of the run.
holds 2 eval '[[ $(last_caption) == "$idle" ]]' || fail "a track started after the end: $(last_caption)"

played=$(captions | grep -x 'track[0-9]' | paste -sd ' ' -)
[[ $played == "track1 track2 track3" ]] || fail "tracks played: '$played'"
[[ $(last_caption) == "$idle" ]] || fail "last caption: '$(last_caption)'"
last_tray=$(sed -n 's/^solka: tray: //p' "$err" | tail -n 1)
[[ $last_tray == "3 $idle" ]] || fail "last tray state: '$last_tray'"
echo "PASS: three tracks in list order, then idle"
