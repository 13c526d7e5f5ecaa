#!/usr/bin/env bash
# The Windows program's silence between tracks, as a listener hears it: solka.exe under Wine
# plays half-second 1 kHz tone tracks through Wine's PulseAudio driver to a private sound
# server's null output, whose monitor is recorded (the counterpart of bench/gap.sh). Prints the
# median and the worst gap over CHANGES changes in list order, random order, one-song repeat and
# list order over three sample rates and channel counts; apart from those, the silences inside
# tracks and how often the server's stream ran dry (Wine's driver keeps 30 ms in the server and
# then fills a dry stream with silence: its period clock, slow for about two seconds after the
# stream starts, often empties it once a second or so in, and a busy machine that holds its
# writer back does the same; either is heard as 5-30 ms of silence, changes or not); with
# each run, the process's file descriptors and private memory (anonymous resident bytes) after
# its first tracks and at its end. Then the CPU-seconds the process spends over SECONDS of one long track, through the
# player's own output and through the system's renderer (SOLKA_DSHOW_OUTPUT=renderer).
#
#   bench/gap_wine.sh [PATH-TO-SOLKA.EXE] [CHANGES] [SECONDS] [SOAK-CHANGES]
#   (defaults: build-windows/solka.exe, 50, 60, 0; SOAK-CHANGES > 0 adds a list-order run of
#   that many changes, for the soak figures)
#
# Needs wine64, pulseaudio and pulseaudio-utils; no sound card. Makes a Wine prefix of its own
# (about half a minute the first time; SOLKA_GAP_PREFIX keeps one between runs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build-windows/solka.exe}")
changes=${2:-50}
cpu_seconds=${3:-60}
soak=${4:-0}
[[ -f $binary ]] || {
  echo "no program at $binary (cmake --build build-windows makes it)" >&2
  exit 1
}
loader=/usr/lib/wine/wine64
[[ -x $loader ]] || loader=$(command -v wine64)
work=$(mktemp -d)
source "$root/bench/gap_lib.sh"
gap_require pulseaudio parec pactl gst-launch-1.0 python3 wineserver
server= player= recorder=
cleanup() {
  stop "$player"
  stop "$recorder"
  wineserver -k 2>/dev/null || true
  stop "$server"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin"
cp "$binary" "$work/bin/solka.exe"
gap_sound_server
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"

# A prefix whose sound goes to PulseAudio and which needs no display.
export WINEPREFIX=${SOLKA_GAP_PREFIX:-$work/prefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/.gap-ready ]]; then
  "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.gap-ready"
fi

seconds_per_track=0.5
tone a.wav 44100 2 wavenc
tone b.flac 48000 1 flacenc
tone c.wav 22050 1 wavenc
tone long.wav 44100 2 wavenc $(((cpu_seconds + 20) * 10))

winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The process's descriptors and anonymous resident memory.
footprint() {
  printf '%s fds, %s private' "$(ls "/proc/$1/fd" 2>/dev/null | wc -l)" \
    "$(awk '/^RssAnon/ {print $2 " kB"}' "/proc/$1/status" 2>/dev/null)"
}

# start MODE FOLDER [ENV...]: the program plays the folder in the mode (JukeMode).
start() {
  printf '[SETTING]\r\nJukeMode=%s\r\nSort=1\r\n' "$1" >"$work/bin/solka.ini"
  env "${@:3}" "$loader" "$work/bin/solka.exe" "$(winpath "$2")" >/dev/null \
    2>"$work/player.log" &
  player=$!
}
finish() {
  stop "$player"
  player=
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# measure LABEL MODE CHANGES SOURCES...: the gaps at the first CHANGES changes.
measure() {
  local label=$1 mode=$2 count=$3
  shift 3
  local music="$work/music-$mode-$#" dry
  dry=$(gap_server_underruns)
  link_tracks "$music" "$@"
  parec --latency-msec=10 -d gap.monitor --format=float32le --rate=48000 --channels=1 \
    --raw >"$work/recording" &
  recorder=$!
  start "$mode" "$music"
  local needed early=
  needed=$(python3 -c "print(int((($count + 3) * $seconds_per_track + 2) * 48000 * 4))")
  local first=$((needed / (count + 3) * 8))
  for ((i = 0; i < 12000; i++)); do
    local size
    size=$(stat -c %s "$work/recording")
    [[ -z $early ]] && ((size > first)) && early=$(footprint "$player")
    ((size > needed)) && break
    sleep 0.1
  done
  local late
  late=$(footprint "$player")
  finish
  stop "$recorder"
  recorder=
  dry=$(($(gap_server_underruns) - dry))
  python3 "$root/bench/gap_figures.py" "$work/recording" "$label" "$count" "$seconds_per_track" \
    "$dry"
  echo "    after 5 tracks: $early; at the end: $late; the server ran dry $dry times"
}

measure "list order        " 2 "$changes" a.wav
measure "random            " 4 "$changes" a.wav
measure "one-song repeat   " 5 "$changes" a.wav
measure "mixed rates/layout" 2 "$changes" a.wav b.flac c.wav
((soak > 0)) && measure "soak (list order) " 2 "$soak" a.wav b.flac c.wav

# The device goes away while the long track plays: a second output becomes the default and the
# first is removed (the server moves the stream), then the sound server itself restarts (the
# stream breaks and the player opens one again). Checks that the sound goes on each time;
# prints how much of the next three seconds was heard and the longest silence after its first
# sound.
device_changes() {
  mkdir -p "$work/long"
  ln -f "$work/long.wav" "$work/long/long.wav"
  start 1 "$work/long"
  record gap 1
  pactl load-module module-null-sink sink_name=gap2 rate=48000 channels=1 >/dev/null
  pactl set-default-sink gap2
  pactl unload-module "$(pactl list short modules | awk '/sink_name=gap / {print $1}')"
  record gap2 3
  heard "a changed default device"
  stop "$server"
  gap_sound_server
  record gap 3
  heard "a restarted sound server "
  finish
}
# record SINK SECONDS: the sink's monitor into $work/heard, until that much has come.
record() {
  parec --latency-msec=10 -d "$1.monitor" --format=float32le --rate=48000 --channels=1 \
    --raw >"$work/heard" &
  recorder=$!
  local i
  for ((i = 0; i < 600 && $(stat -c %s "$work/heard") < $2 * 192000; i++)); do sleep 0.1; done
  stop "$recorder"
  recorder=
}
heard() {
  python3 - "$work/heard" "$1" <<'PY'
import array, sys
s = array.array("f")
data = open(sys.argv[1], "rb").read()
s.frombytes(data[: len(data) // 4 * 4])
loud = [i for i, v in enumerate(s) if abs(v) > 0.02]
if not loud:
    sys.exit(f"{sys.argv[2]}: nothing was heard after it")
longest = quiet = 0
for v in s[loud[0] : loud[-1] + 1]:
    quiet = quiet + 1 if abs(v) <= 0.02 else 0
    longest = max(longest, quiet)
print(f"{sys.argv[2]}: {len(loud) / 48000:.2f} s of {len(s) / 48000:.2f} s heard after it, "
      f"its longest silence {longest / 48:.2f} ms")
PY
}
device_changes

# cpu LABEL [ENV...]: CPU-seconds over $cpu_seconds of the long track, from 5 s in.
cpu() {
  mkdir -p "$work/long"
  ln -f "$work/long.wav" "$work/long/long.wav"
  start 1 "$work/long" "${@:2}"
  sleep 5
  local before after ticks
  ticks=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' "/proc/$player/stat")
  sleep "$cpu_seconds"
  after=$(awk '{print $14 + $15}' "/proc/$player/stat")
  finish
  awk -v l="$1" -v t=$((after - before)) -v hz="$ticks" -v s="$cpu_seconds" \
    'BEGIN {printf "CPU %s: %.2f s over %d s (%.2f s per minute)\n", l, t / hz, s, t / hz * 60 / s}'
}
cpu "through the player's output" SOLKA_DSHOW_OUTPUT=
cpu "through the system renderer" SOLKA_DSHOW_OUTPUT=renderer
