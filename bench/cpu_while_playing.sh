#!/usr/bin/env bash
# CPU while playing: the CPU-seconds the real program spends over 60 s of one track, its window
# hidden in the notification area (a private X server with a window manager and a notification
# area, and a private session bus, as on a desktop), against a bare `gst-launch-1.0 playbin` of
# the same file. Both play to `fakesink sync=true`, a silent output that keeps real time, so
# neither a sound server nor a device adds its own cost. One WAV and one MP3 (pink noise,
# 44.1 kHz stereo; the MP3 at 192 kbit/s). The program and the bare pipeline run side by side.
#   bench/cpu_while_playing.sh [PATH-TO-SOLKA] [SECONDS]
# The program defaults to a Release build in build-release (tools/run makes one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/e2e/lib/program.sh"
source "$root/tests/e2e/lib/desktop.sh"
e2e_prepare "${1:-$root/build-release/solka}"
seconds=${2:-60}
settle=3
export ASAN_OPTIONS=detect_leaks=0
desktop_start
# The notification area, where the player hides; a few tries, as it sometimes fails to come up
# on a busy machine. Without one the player minimises its window instead.
hidden_in="the notification area"
for _ in 1 2 3; do
  trayer --edge bottom --align right --widthtype pixel --width 48 --height 24 \
    --SetDockType true --transparent false >"$work/trayer.log" 2>&1 &
  desktop_pids+=($!)
  poll 20 tray_area && break
done
tray_area >/dev/null || hidden_in="the task bar (no notification area came up)"

# A session bus of our own: the player's media-control service is part of what it costs.
dbus-daemon --session --nofork --address="unix:path=$work/runtime/bus" >/dev/null 2>&1 &
desktop_pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/bus"
poll 10 test -S "$work/runtime/bus" || fail "the session bus did not start"

length=$((seconds + settle + 10))
mkdir -p "$work/music/wav" "$work/music/mp3"
gst-launch-1.0 -q audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=1024 \
  num-buffers=$((length * 44100 / 1024)) ! audio/x-raw,rate=44100,channels=2,format=S16LE ! \
  tee name=t ! queue ! wavenc ! filesink location="$work/music/wav/track.wav" \
  t. ! queue ! lamemp3enc target=bitrate bitrate=192 ! xingmux ! \
  filesink location="$work/music/mp3/track.mp3"

ticks=$(getconf CLK_TCK)
# CPU ticks (user + system) of a process so far.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# PID: CPU-seconds over $seconds, counted from $settle seconds after now.
measure() {
  local before after
  sleep "$settle"
  before=$(cpu_ticks "$1")
  sleep "$seconds"
  kill -0 "$1" 2>/dev/null || fail "process $1 ended before the end of the measurement"
  after=$(cpu_ticks "$1")
  awk -v t=$((after - before)) -v hz="$ticks" 'BEGIN {printf "%.2f", t / hz}'
}

declare -A result
for format in wav mp3; do
  : >"$err"
  rm -f "$work/bin/solka.ini"
  # A folder: the player hides to the notification area and plays it continuously.
  start_program "$work/music/$format"
  wait_for "solka: caption: track"
  gst-launch-1.0 -q playbin uri="file://$work/music/$format/track.$format" \
    audio-sink="fakesink sync=true" video-sink=fakesink >/dev/null 2>&1 &
  bare=$!
  measure "$bare" >"$work/bare" &
  measurer=$!
  result[$format, solka]=$(measure "$pid")
  wait "$measurer"
  result[$format, bare]=$(cat "$work/bare")
  kill "$bare" 2>/dev/null || true
  wait "$bare" 2>/dev/null || true
  [[ $(captions | tail -n1) == track ]] || fail "the track did not play throughout"
  end_program
done

echo "CPU-seconds over $seconds s of one track, window hidden in $hidden_in,"
echo "output fakesink sync=true:"
printf '%-5s %8s %8s %7s\n' "" SOLKA playbin ratio
for format in wav mp3; do
  awk -v f="$format" -v s="${result[$format, solka]}" -v b="${result[$format, bare]}" \
    'BEGIN {printf "%-5s %8.2f %8.2f %7.2f\n", f, s, b, (b > 0 ? s / b : 0)}'
done
