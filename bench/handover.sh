#!/usr/bin/env bash
# Prints how long the hand-over takes with the real program: a second start from launch to its
# exit (the frame sent and the player's answer back), a second start with a folder of 10 tracks
# from launch to the player's caption naming the first of them (its new sound has started), and,
# after kill -9 of the player, a new start from launch to the moment it accepts hand-overs (stale
# socket replaced). With OTHER-SOLKA (an older build, say) both players run side by side, each
# with its own runtime folder, and every round measures both, in turns.
#   bench/handover.sh PATH-TO-SOLKA [ROUNDS] [OTHER-SOLKA]   (Release builds give the user's figures)
set -euo pipefail
source "$(dirname "$0")/copy_program.sh"
programs=("$(realpath "$1")")
rounds=${2:-20}
if [[ -n ${3:-} ]]; then programs+=("$(realpath "$3")"); fi
work=$(mktemp -d)
players=()
cleanup() {
  for p in "${players[@]}"; do
    kill -KILL "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen SOLKA_POWER=dry-run
export SOLKA_AUDIO_SINK="fakesink sync=true" ASAN_OPTIONS=detect_leaks=0
mkdir -p "$work/music"
for n in 1 2 3; do
  gst-launch-1.0 -q audiotestsrc num-buffers=600 samplesperbuffer=800 ! \
    audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$work/music/t$n.wav"
done
# Two folders of 10 tracks each, handed over in turn: each hand-over changes the caption.
for side in a b; do
  mkdir "$work/ten-$side"
  for n in $(seq -w 1 10); do cp "$work/music/t1.wav" "$work/ten-$side/$side$n.wav"; done
done
# Each program in a folder of its own, with the player program it starts where it has one.
for k in "${!programs[@]}"; do
  mkdir -p "$work/$k/bin"
  mkdir -m 700 "$work/$k/runtime"
  copy_program "${programs[$k]}" "$work/$k/bin"
done
now_us() { echo "${EPOCHREALTIME/./}"; }
# K ARG...: program K started with ARG...
run() { XDG_RUNTIME_DIR="$work/$1/runtime" "$work/$1/bin/solka" "${@:2}"; }
# K: starts program K's player; sets players[K] and $elapsed, the milliseconds until its endpoint
# takes a connection.
start_player() {
  local start sock="$work/$1/runtime/solka/TDODEDEV"
  start=$(now_us)
  # Each line of the trace with the time it came, in microseconds.
  # Started directly, not through run(), so that $! is the player itself.
  XDG_RUNTIME_DIR="$work/$1/runtime" SOLKA_TRACE=1 "$work/$1/bin/solka" "$work/music" 2> >(
    while IFS= read -r line; do
      echo "${EPOCHREALTIME/./} $line"
    done >"$work/$1/trace"
  ) &
  players[$1]=$!
  until [[ -S $sock ]] && socat -u /dev/null "UNIX-CONNECT:$sock" 2>/dev/null; do
    kill -0 "${players[$1]}" 2>/dev/null || { echo "the player ended" >&2; exit 1; }
    sleep 0.005
  done
  elapsed=$((($(now_us) - start) / 1000))
}
# K: microseconds from the launch of a second start with the command word to its exit.
to_answer() {
  local start
  start=$(now_us)
  run "$1" ZZZ_NEXT_PLAY 2>/dev/null || true
  echo $(($(now_us) - start))
}
# K SIDE: microseconds from the launch of a second start with that folder to the caption of its
# first track, as the player traced it.
to_new_sound() {
  local start line=
  start=$(now_us)
  run "$1" "$work/ten-$2" 2>/dev/null || true
  for _ in $(seq 2000); do
    line=$(grep -m1 " solka: caption: ${2}01\$" <(awk -v s="$start" '$1 >= s' "$work/$1/trace")) &&
      break
    sleep 0.005
  done
  [[ -n $line ]] || { echo "the hand-over of ten-$2 never played" >&2; exit 1; }
  echo $((${line%% *} - start))
}
median_ms() { sort -n "$1" | awk '{v[NR] = $1} END { printf "%.1f ms", v[int((NR + 1) / 2)] / 1000 }'; }

first=()
for k in "${!programs[@]}"; do
  start_player "$k"
  first[$k]=$elapsed
done
for ((i = 0; i < rounds; i++)); do
  side=$([[ $((i % 2)) == 0 ]] && echo a || echo b)
  # Turns swap every round: neither program always goes first.
  order=("${!programs[@]}")
  if [[ $((i % 2)) == 1 ]]; then order=($(printf '%s\n' "${order[@]}" | tac)); fi
  for k in "${order[@]}"; do
    to_answer "$k" >>"$work/$k/answer"
    to_new_sound "$k" "$side" >>"$work/$k/sound"
  done
done
for k in "${!programs[@]}"; do
  kill -KILL "${players[$k]}"
  wait "${players[$k]}" 2>/dev/null || true
  start_player "$k"
  [[ ${#programs[@]} -gt 1 ]] && echo "${programs[$k]}:"
  echo "second start, launch to exit (answered): $(median_ms "$work/$k/answer") (median of $rounds)"
  echo "hand-over of 10 tracks, launch to new sound: $(median_ms "$work/$k/sound") (median of $rounds)"
  echo "first start, launch to accepting hand-overs: ${first[$k]} ms"
  echo "start after kill -9 (stale socket), launch to accepting hand-overs: $elapsed ms"
done
