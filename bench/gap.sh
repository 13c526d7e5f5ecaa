#!/usr/bin/env bash
# The silence between tracks, as a listener hears it: the real program plays half-second 1 kHz
# tone tracks to a private sound server's null output, whose monitor is recorded; a run of
# silence where one track meets the next is a gap (one inside a track is counted apart, as the
# server running dry, when its log shows it did). Prints the median and the worst gap over CHANGES track changes in each of
# four runs: list order (WAV, 44.1 kHz stereo), random order, one-song
# repeat, and list order over tracks of three sample rates and channel counts in turn.
#
#   bench/gap.sh [PATH-TO-SOLKA] [CHANGES]     (defaults: build-release/solka, 50)
#
# Takes about half a minute per run. Needs pulseaudio and pulseaudio-utils; no sound card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build-release/solka}")
changes=${2:-50}
[[ -x $binary ]] || {
  echo "no program at $binary (build it with tools/run, or name it)" >&2
  exit 1
}
work=$(mktemp -d)
source "$root/bench/gap_lib.sh"
source "$root/bench/copy_program.sh"
gap_require pulseaudio parec pactl gst-launch-1.0 python3
server= player= recorder=
cleanup() {
  stop "$player"
  stop "$recorder"
  stop "$server"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/config"
copy_program "$binary" "$work/bin"
export XDG_CONFIG_HOME="$work/config"
gap_sound_server

seconds_per_track=0.5
tone a.wav 44100 2 wavenc
tone b.flac 48000 1 flacenc
tone c.wav 22050 1 wavenc

# measure LABEL MODE SOURCES...: plays a folder of linked tracks in the mode (JukeMode) and
# prints the gaps at the first CHANGES changes.
measure() {
  local label=$1 mode=$2
  shift 2
  local music="$work/music-$mode-$#" dry
  dry=$(gap_server_underruns)
  link_tracks "$music" "$@"
  printf '[SETTING]\r\nJukeMode=%s\r\nSort=1\r\n' "$mode" >"$work/bin/solka.ini"
  parec --latency-msec=10 -d gap.monitor --format=float32le --rate=48000 --channels=1 \
    --raw >"$work/recording" &
  recorder=$!
  QT_QPA_PLATFORM=offscreen SOLKA_POWER=dry-run "$work/bin/solka" "$music" \
    >/dev/null 2>"$work/player.log" &
  player=$!
  # Until CHANGES changes have been heard, and a little more.
  local needed
  needed=$(python3 -c "print(int((($changes + 3) * $seconds_per_track + 2) * 48000 * 4))")
  for ((i = 0; i < 1200; i++)); do
    (($(stat -c %s "$work/recording") > needed)) && break
    sleep 0.1
  done
  stop "$player"
  player=
  stop "$recorder"
  recorder=
  python3 "$root/bench/gap_figures.py" "$work/recording" "$label" "$changes" "$seconds_per_track" \
    $(($(gap_server_underruns) - dry))
}

measure "list order        " 2 a.wav
measure "random            " 4 a.wav
measure "one-song repeat   " 5 a.wav
measure "mixed rates/layout" 2 a.wav b.flac c.wav
