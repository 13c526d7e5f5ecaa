#!/usr/bin/env bash
# Time to music: how long the real program, started on a folder of 100,000 tracks in 1,000
# folders with names of usual length, takes to reach its first track title, against the time
# `find -type f` needs over the same tree, and against the floor: what reading the tree and
# starting the toolkit and the media framework cost at the least, that is the program on a
# folder of one track plus `find` over the big tree. Prints each (median of several runs) and
# the ratios.
#   bench/time_to_music.sh [PATH-TO-SOLKA] [FOLDERS] [TRACKS-PER-FOLDER]
# The program defaults to a Release build in build-release (tools/run makes one). The tree is
# built once in a temporary folder (hard links to one short WAV file, so it costs little disk)
# and removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
solka=$(realpath "${1:-$root/build-release/solka}")
folders=${2:-1000}
per_folder=${3:-100}
runs=${RUNS:-5}
[[ -x $solka ]] || {
  echo "no program at $solka (build one with tools/run, or pass its path)" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
source "$root/bench/copy_program.sh"
copy_program "$solka" "$work/bin"
tree="$work/Music"

# One second of silence, 8 kHz 8-bit mono.
{
  printf 'RIFF\x64\x1f\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
  printf '\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x40\x1f\x00\x00'
  head -c 8000 /dev/zero | tr '\0' '\200'
} >"$work/one.wav"

echo "building $((folders * per_folder)) tracks in $folders folders..."
# A file may have only so many links: each run of 500 folders links its own copy.
make_album() {
  album="$work/album$1"
  mkdir "$album"
  cp "$work/one.wav" "$album.wav"
  # Made in reverse so that the order they were made in is not their name order.
  for ((t = per_folder; t >= 1; t--)); do
    # About 45 characters: "07 Some Artist Name - A Track Title 0123.wav"
    ln "$album.wav" "$album/$(printf '%02d Some Artist Name - A Track Title %04d.wav' $((t % 100)) "$t")"
  done
}
mkdir "$tree"
for ((f = folders - 1; f >= 0; f--)); do
  (((folders - 1 - f) % 500 == 0)) && make_album "$f"
  cp -al "$album" "$(printf '%s/%03d Some Artist Name - An Album Title %04d' "$tree" "$f" "$f")"
done

now() { date +%s%N; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Warm the file system's caches first: both sides read a tree that is in memory.
find "$tree" -type f >/dev/null

find_ns=$(for ((i = 0; i < runs; i++)); do
  s=$(now)
  find "$tree" -type f >/dev/null
  echo $(($(now) - s))
done | median)

export QT_QPA_PLATFORM=offscreen SOLKA_AUDIO_SINK="fakesink sync=true" SOLKA_POWER=dry-run
export SOLKA_TRACE=1 XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
fifo="$work/trace"
mkfifo "$fifo"

# FOLDER: nanoseconds from the start of the program to its first track title in the caption.
time_to_title() {
  local s line pid title elapsed=
  rm -f "$work/bin/solka.ini"
  s=$(now)
  "$work/bin/solka" "$1" 2>"$fifo" >/dev/null &
  pid=$!
  while IFS= read -r line; do
    [[ $line == "solka: caption: "* ]] || continue
    title=${line#solka: caption: }
    [[ $title == "SOLKA Player DirectShow Ver." || $title == "DODEDEV 1.7.2.0" ]] && continue
    elapsed=$(($(now) - s))
    break
  done <"$fifo"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [[ -n $elapsed ]] || {
    echo "the program ended without a track title" >&2
    exit 1
  }
  echo "$elapsed"
}

mkdir "$work/One"
cp "$work/one.wav" "$work/One/01 Some Artist Name - A Track Title 0001.wav"
time_to_title "$work/One" >/dev/null # the first start loads the media framework's registry
# Interleaved, so that a change in the machine's load falls on both alike.
for ((i = 0; i < runs; i++)); do
  echo "one $(time_to_title "$work/One")"
  echo "all $(time_to_title "$tree")"
done >"$work/times"
one_ns=$(awk '$1 == "one" {print $2}' "$work/times" | median)
music_ns=$(awk '$1 == "all" {print $2}' "$work/times" | median)

awk -v f="$find_ns" -v o="$one_ns" -v m="$music_ns" -v n=$((folders * per_folder)) 'BEGIN {
  printf "tracks: %d\n", n
  printf "find -type f:            %7.1f ms\n", f / 1e6
  printf "one-track folder:        %7.1f ms\n", o / 1e6
  printf "floor (the two summed):  %7.1f ms\n", (f + o) / 1e6
  printf "first track title:       %7.1f ms\n", m / 1e6
  printf "ratio to find:           %7.2f\n", m / f
  printf "ratio to the floor:      %7.2f\n", m / (f + o)
}'
