#!/usr/bin/env bash
# Prints how long the hand-over takes with the real program: a second start from launch to its
# exit (the frame sent and answered), a second start with a folder of 10 tracks from launch to
# the player's caption naming the first of them (its new sound has started), and, after kill -9
# of the player, a new start from launch to the moment it accepts hand-overs (stale socket
# replaced).
#   bench/handover.sh PATH-TO-SOLKA [ROUNDS]   (a Release build gives the user's figures)
set -euo pipefail
solka=$(realpath "$1")
rounds=${2:-20}
work=$(mktemp -d)
player=
cleanup() {
  if [[ -n $player ]]; then
    kill -KILL "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime"
mkdir -p "$work/bin" "$work/music"
cp "$solka" "$work/bin/solka"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen SOLKA_POWER=dry-run
export SOLKA_AUDIO_SINK="fakesink sync=true" ASAN_OPTIONS=detect_leaks=0
for n in 1 2 3; do
  gst-launch-1.0 -q audiotestsrc num-buffers=600 samplesperbuffer=800 ! \
    audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$work/music/t$n.wav"
done
# Two folders of 10 tracks each, handed over in turn: each hand-over changes the caption.
for side in a b; do
  mkdir "$work/ten-$side"
  for n in $(seq -w 1 10); do cp "$work/music/t1.wav" "$work/ten-$side/$side$n.wav"; done
done
sock="$XDG_RUNTIME_DIR/solka/TDODEDEV"
now_ms() { date +%s%3N; }
# Starts a player; sets $player and $elapsed, the milliseconds until its endpoint takes a
# connection.
start_player() {
  local start
  start=$(now_ms)
  # Each line of the trace with the time it came, in microseconds.
  SOLKA_TRACE=1 "$work/bin/solka" "$work/music" 2> >(while IFS= read -r line; do
    echo "${EPOCHREALTIME/./} $line"
  done >"$work/trace") &
  player=$!
  until [[ -S $sock ]] && socat -u /dev/null "UNIX-CONNECT:$sock" 2>/dev/null; do
    kill -0 "$player" 2>/dev/null || { echo "the player ended" >&2; exit 1; }
    sleep 0.005
  done
  elapsed=$(($(now_ms) - start))
}

start_player
first=$elapsed
total=0
for _ in $(seq "$rounds"); do
  start=$(now_ms)
  "$work/bin/solka" ZZZ_NEXT_PLAY 2>/dev/null || true
  total=$((total + $(now_ms) - start))
done
echo "second start, launch to exit: $((total / rounds)) ms on average over $rounds"
# SIDE: microseconds from the launch of a second start with that folder to the caption of its
# first track, as the player traced it.
to_new_sound() {
  local start line
  start=${EPOCHREALTIME/./}
  "$work/bin/solka" "$work/ten-$1" 2>/dev/null || true
  for _ in $(seq 2000); do
    line=$(grep -m1 " solka: caption: ${1}01\$" <(awk -v s="$start" '$1 >= s' "$work/trace")) &&
      break
    sleep 0.005
  done
  [[ -n $line ]] || { echo "the hand-over of ten-$1 never played" >&2; exit 1; }
  echo $((${line%% *} - start))
}
for ((i = 0; i < rounds; i++)); do
  to_new_sound $([[ $((i % 2)) == 0 ]] && echo a || echo b)
done | sort -n | awk '{v[NR] = $1} END {
  printf "hand-over of 10 tracks, launch to new sound: %.1f ms (median of %d)\n", v[int((NR + 1) / 2)] / 1000, NR
}'

kill -KILL "$player"
wait "$player" 2>/dev/null || true
echo "first start, launch to accepting hand-overs: $first ms"
start_player
echo "start after kill -9 (stale socket), launch to accepting hand-overs: $elapsed ms"
