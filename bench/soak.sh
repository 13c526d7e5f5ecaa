#!/usr/bin/env bash
# Soak run of the real program: a folder of one-second tracks (WAV, FLAC and Ogg Vorbis in turn)
# played through from the first to the last in one continuous run. Prints the program's open
# file descriptors and resident memory at the first track, at the start proper (once every
# format has played), every 100 tracks and at the end, then the change from start to end. A
# released graph that leaves anything behind shows as growth here.
#
#   bench/soak.sh [PATH-TO-SOLKA] [TRACKS]     (defaults: build-release/solka, 1000 tracks)
#
# Takes about one second per track. Needs no display or sound card (offscreen, silent sink).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build-release/solka}")
tracks=${2:-1000}
[[ -x $binary ]] || {
  echo "no program at $binary (build it with tools/run, or name it)" >&2
  exit 1
}

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n $pid ]]; then kill -TERM "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/music" "$work/config"
mkdir -m 700 "$work/runtime"
source "$root/bench/copy_program.sh"
copy_program "$binary" "$work/bin"
# List order, played once; the settings file stays inside the work folder.
printf '[SETTING]\r\nJukeMode=1\r\nSort=1\r\n' >"$work/bin/solka.ini"

# One source file per format; each track is a link to one of them, so the folder stays small.
make_source() {
  gst-launch-1.0 -q audiotestsrc samplesperbuffer=4410 num-buffers=10 ! \
    audio/x-raw,rate=44100,channels=2 ! audioconvert ! "${@:2}" ! filesink location="$work/$1"
}
make_source src.wav wavenc
make_source src.flac flacenc
make_source src.ogg vorbisenc ! oggmux
formats=(wav flac ogg)
for ((i = 1; i <= tracks; i++)); do
  ext=${formats[i % 3]}
  ln "$work/src.$ext" "$(printf '%s/music/t%05d.%s' "$work" "$i" "$ext")"
done

export QT_QPA_PLATFORM=offscreen
export SOLKA_AUDIO_SINK=${SOLKA_AUDIO_SINK:-fakesink sync=true}
export SOLKA_POWER=dry-run SOLKA_TRACE=1
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
err="$work/err"
"$work/bin/solka" "$work/music" 2>"$err" >/dev/null &
pid=$!

fds() { find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }
# Prints one row and keeps its figures in last_fds and last_rss.
sample() {
  last_fds=$(fds)
  last_rss=$(rss_kb)
  printf '%-12s %6s %10s KB\n' "$1" "$last_fds" "$last_rss"
}
captions() { sed -n 's/^solka: caption: //p' "$err"; }

# Waits until the caption names track N (N = 0: until the run has ended idle), at most
# SECONDS seconds.
wait_track() {
  local want _
  if (($1 == 0)); then want="DODEDEV 1.7.2.0"; else want=$(printf 't%05d' "$1"); fi
  for _ in $(seq 1 $(($2 * 4))); do
    if [[ $(captions | tail -n 1) == "$want" ]]; then return 0; fi
    kill -0 "$pid" 2>/dev/null || {
      echo "the program ended before $want" >&2
      exit 1
    }
    sleep 0.25
  done
  echo "timed out waiting for $want; last caption: $(captions | tail -n 1)" >&2
  exit 1
}

echo "soak: $tracks one-second tracks, program $binary"
echo "point        descriptors  resident"
wait_track 1 60
sample "track 1"
first_rss=$last_rss
# The start is taken once every format has played: loading a decoder the first time is a
# one-off cost, not growth per track.
warm=$((tracks >= 20 ? 10 : 1))
if ((warm > 1)); then
  wait_track "$warm" 60
  sample "track $warm"
fi
fd0=$last_fds rss0=$last_rss
step=$((tracks >= 200 ? 100 : (tracks + 1) / 2))
for ((n = step; n < tracks; n += step)); do
  wait_track "$n" $((step * 3 + 60))
  sample "track $n"
done
wait_track "$tracks" $((step * 3 + 60))
sample "track $tracks"
wait_track 0 60
sample "end (idle)"
fd1=$last_fds rss1=$last_rss

failures=$(captions | grep -c '再生できませんでした' || true)
awk -v f0="$fd0" -v f1="$fd1" -v r0="$rss0" -v r1="$rss1" -v first="$first_rss" -v warm="$warm" \
  -v bad="$failures" 'BEGIN {
  printf "from track %d to the end:\n", warm
  printf "  descriptors: %d -> %d (%+d)\n", f0, f1, f1 - f0
  printf "  resident:    %d KB -> %d KB (%+.1f %%)\n", r0, r1, (r1 - r0) * 100.0 / r0
  printf "from track 1 (decoders not yet loaded): resident %+.1f %%\n", (r1 - first) * 100.0 / first
  printf "tracks that failed to play: %d\n", bad
}'
