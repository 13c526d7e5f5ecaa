#!/usr/bin/env bash
# The window sooner: how long the real program, started with a file argument, takes from its
# exec to its main window mapped under a window manager (a private X server with openbox), and
# the same for a bare Qt window (bench/qt_bare_window) for reference. Medians of several runs;
# the time of the map is when the window manager's frame appears on the screen.
#   bench/window_mapped.sh [PATH-TO-SOLKA] [PATH-TO-BARE-QT-WINDOW]
# The defaults are the Release builds in build-release (configure it with SOLKA_BUILD_BENCH for
# the bare window).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/lib/program.sh"
source "$root/tests/e2e/lib/desktop.sh"
e2e_prepare "${1:-$root/build-release/solka}"
bare=${2:-$root/build-release/bench/qt_bare_window}
runs=${RUNS:-9}
desktop_start
desktop_require xev
gst-launch-1.0 -q audiotestsrc num-buffers=400 samplesperbuffer=4410 ! \
  audio/x-raw,rate=44100,channels=2 ! wavenc ! filesink location="$work/music/track.wav"

now() { date +%s%N; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# COMMAND...: nanoseconds from its exec to the first window the window manager maps (a frame,
# a child of the root window). The command is ended afterwards.
time_to_map() {
  local fifo="$work/events" line s elapsed= watcher
  rm -f "$fifo" "$work/bin/solka.ini"
  mkfifo "$fifo"
  xev -root -event substructure >"$fifo" 2>/dev/null &
  watcher=$!
  exec 4<"$fifo"
  # xev is listening once it has said so (its first line), before the program starts.
  sleep 0.3
  s=$(now)
  "$@" 2>/dev/null >/dev/null &
  pid=$!
  while IFS= read -r -t 20 line <&4; do
    if [[ $line == MapNotify* ]]; then
      elapsed=$(($(now) - s))
      break
    fi
  done
  exec 4<&-
  kill "$watcher" "$pid" 2>/dev/null || true
  wait "$watcher" "$pid" 2>/dev/null || true
  pid=
  [[ -n $elapsed ]] || fail "no window was mapped: $*"
  echo "$elapsed"
}

[[ -x $bare ]] || bare=
time_to_map "$solka" "$work/music/track.wav" >/dev/null # loads the caches first
[[ -z $bare ]] || time_to_map "$bare" >/dev/null
# Interleaved, so that a change in the machine's load falls on both alike.
for ((i = 0; i < runs; i++)); do
  echo "solka $(time_to_map "$solka" "$work/music/track.wav")"
  [[ -z $bare ]] || echo "bare $(time_to_map "$bare")"
done >"$work/times"
echo "exec to main window mapped, with a file argument (median of $runs):"
awk '$1 == "solka" {print $2}' "$work/times" | median |
  awk '{printf "SOLKA:           %6.1f ms\n", $1 / 1e6}'
if [[ -n $bare ]]; then
  awk '$1 == "bare" {print $2}' "$work/times" | median |
    awk '{printf "bare Qt window:  %6.1f ms\n", $1 / 1e6}'
else
  echo "bare Qt window:  not built (${2:-$root/build-release/bench/qt_bare_window})"
fi
