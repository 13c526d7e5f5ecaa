#!/usr/bin/env bash
# The real program on a folder of three short tracks and a damaged file among them, in list
# order once (the default mode): each track plays in turn, the damaged file is passed over, and
# the caption ends idle. A list with missing entries handed over after that run ended plays to
# its end too.
# Usage: plays_folder_once.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
for name in track1 track2 track3; do
  tone "$name.wav" wavenc
done
# Between track2 and track3 in path order.
for _ in $(seq 400); do echo "no audio in here"; done >"$work/music/track2x.mp3"
# Path order makes the list order independent of the folder's listing order.
printf '[SETTING]\r\nSort=1\r\n' >"$work/bin/solka.ini"

export -n QT_QPA_PLATFORM
setsid xvfb-run -a "$solka" "$work/music" 2>"$err" >/dev/null &
pid=$!
pgid=$pid
trap 'kill -TERM -- "-$pgid" 2>/dev/null || true; e2e_cleanup' EXIT

last_caption() { captions | tail -n 1; }
# Waits until track3 is among the captions after the first $1 and the run is idle again (three
# one-second tracks; allow for a slow first start of the decoders and the X server).
wait_run_end() {
  for _ in $(seq 1 300); do
    captions | tail -n +$(($1 + 1)) | grep -qx track3 && [[ $(last_caption) == "$idle" ]] && return
    kill -0 "$pgid" 2>/dev/null || fail "the program ended early"
    sleep 0.1
  done
  fail "the run did not end: '$(last_caption)'"
}

wait_run_end 0
# Nothing may start after the end of the run.
holds 2 eval '[[ $(last_caption) == "$idle" ]]' || fail "a track started after the end: $(last_caption)"

played=$(captions | grep -x 'track[0-9]' | paste -sd ' ' -)
[[ $played == "track1 track2 track3" ]] || fail "tracks played: '$played'"
grep -q "track2x.mp3" "$err" || fail "no line names the damaged file"
[[ $(last_caption) == "$idle" ]] || fail "last caption: '$(last_caption)'"
last_tray=$(sed -n 's/^solka: tray: //p' "$err" | tail -n 1)
[[ $last_tray == "3 $idle" ]] || fail "last tray state: '$last_tray'"
echo "PASS: three tracks in list order past a damaged file, then idle"

# Sort=1 puts the list in path order: the missing entries come between the tracks.
printf '%s\n' "#EXTM3U" "$work/music/track3.wav" "$work/music/track1b.wav" \
  "$work/music/track1.wav" "$work/music/track2b.mp3" "$work/music/track2.wav" >"$work/list.m3u"
before=$(captions | wc -l)
status=0
"$solka" "$work/list.m3u" 2>"$work/second.err" >/dev/null || status=$?
[[ $status -eq 1 ]] || fail "the hand-over ended with status $status"
wait_run_end "$before"
played=$(captions | tail -n +$((before + 1)) | grep -x 'track[0-9]' | paste -sd ' ' -)
[[ $played == "track1 track2 track3" ]] || fail "the handed-over list played '$played'"
echo "PASS: a list with missing entries handed over after the run plays to its end"
