#!/usr/bin/env bash
# The real program on a folder of three short tracks, in list order once (the default mode):
# each track plays in turn, and the caption ends idle.
# Usage: plays_folder_once.sh PATH-TO-SOLKA
set -euo pipefail

binary=$(realpath "$1")
work=$(mktemp -d)
pgid=
cleanup() {
  if [[ -n $pgid ]]; then kill -TERM -- "-$pgid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- program trace ---" >&2
  cat "$work/stderr" >&2 || true
  exit 1
}

mkdir -p "$work/music" "$work/bin" "$work/run" "$work/config"
chmod 700 "$work/run"
for name in track1 track2 track3; do
  # About one second of a tone each.
  gst-launch-1.0 -q audiotestsrc num-buffers=44 ! wavenc ! filesink location="$work/music/$name.wav" \
    >/dev/null
done

# The settings file lives beside the program: run a copy, so that nothing is written into the
# source tree. Path order makes the list order independent of the folder's listing order.
cp "$binary" "$work/bin/solka"
printf '[SETTING]\r\nSort=1\r\n' >"$work/bin/solka.ini"

export SOLKA_TRACE=1 SOLKA_POWER=dry-run
export SOLKA_AUDIO_SINK=${SOLKA_AUDIO_SINK:-fakesink sync=true}
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
setsid xvfb-run -a "$work/bin/solka" "$work/music" 2>"$work/stderr" >/dev/null &
pgid=$!

idle="DODEDEV 1.7.2.0"
captions() { sed -n 's/^solka: caption: //p' "$work/stderr"; }
last_caption() { captions | tail -n 1; }

# Three one-second tracks; allow for a slow first start of the decoders and the X server.
for _ in $(seq 1 300); do
  if captions | grep -qx track3 && [[ $(last_caption) == "$idle" ]]; then break; fi
  kill -0 "$pgid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
# Nothing may start after the end of the run.
sleep 2

played=$(captions | grep -x 'track[0-9]' | paste -sd ' ' -)
[[ $played == "track1 track2 track3" ]] || fail "tracks played: '$played'"
[[ $(last_caption) == "$idle" ]] || fail "last caption: '$(last_caption)'"
last_tray=$(sed -n 's/^solka: tray: //p' "$work/stderr" | tail -n 1)
[[ $last_tray == "3 $idle" ]] || fail "last tray state: '$last_tray'"
echo "PASS: three tracks in list order, then idle"
