#!/usr/bin/env bash
# The silence a user's Next leaves, as a listener hears it: the real program plays ten-second
# 1 kHz tone tracks to a private sound server's null output, a later start skips to the next
# track PRESSES times (ZZZ_NEXT_PLAY, as the desktop's media keys and a second start do), and
# the output's monitor is recorded. A silent stream holds the null output running, so that the
# monitor drops nothing of a new stream's start. Prints the median and the worst silence over
# the presses (a press that leaves no silence counts 0 ms), and what the program holds before
# and after them.
#
#   bench/user_next.sh [PATH-TO-SOLKA] [PRESSES]     (defaults: build-release/solka, 20)
#
# Takes about half a minute. Needs pulseaudio and pulseaudio-utils; no sound card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build-release/solka}")
presses=${2:-20}
[[ -x $binary ]] || {
  echo "no program at $binary (build it with tools/run, or name it)" >&2
  exit 1
}
for tool in pulseaudio parec pactl gst-launch-1.0 python3; do
  command -v "$tool" >/dev/null || {
    echo "$tool is missing (tools/install-deps installs it)" >&2
    exit 1
  }
done

work=$(mktemp -d)
server= player= recorder= holder=
stop() { [[ -n $1 ]] && kill -TERM "$1" 2>/dev/null && wait "$1" 2>/dev/null || true; }
cleanup() {
  stop "$player"
  stop "$recorder"
  stop "$holder"
  stop "$server"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/home" "$work/config" "$work/music"
mkdir -m 700 "$work/runtime"
source "$root/bench/copy_program.sh"
copy_program "$binary" "$work/bin"

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes --log-target=stderr \
  -L "module-native-protocol-unix" -L "module-null-sink sink_name=next rate=48000 channels=1" \
  2>"$work/server.log" &
server=$!
for ((i = 0; i < 100; i++)); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pactl set-default-sink next
# The silent stream that keeps the null output running.
gst-launch-1.0 -q audiotestsrc wave=silence is-live=true ! pulsesink device=next \
  >/dev/null 2>&1 &
holder=$!

gst-launch-1.0 -q audiotestsrc freq=1000 volume=0.5 samplesperbuffer=4410 num-buffers=100 ! \
  audio/x-raw,rate=44100,channels=2 ! wavenc ! filesink location="$work/tone.wav"
for ((i = 0; i < 8; i++)); do ln -f "$work/tone.wav" "$(printf '%s/music/t%02d.wav' "$work" "$i")"; done
printf '[SETTING]\r\nJukeMode=2\r\nSort=1\r\n' >"$work/bin/solka.ini"

parec --latency-msec=10 -d next.monitor --format=float32le --rate=48000 --channels=1 \
  --raw >"$work/recording" &
recorder=$!
QT_QPA_PLATFORM=offscreen SOLKA_POWER=dry-run SOLKA_TRACE=1 "$work/bin/solka" "$work/music" \
  >/dev/null 2>"$work/player.log" &
player=$!
# Until the first track is heard for a second.
python3 - "$work/recording" <<'EOF'
import array, os, sys, time
path = sys.argv[1]
for _ in range(300):
    data = open(path, "rb").read()
    s = array.array("f"); s.frombytes(data[: len(data) // 4 * 4])
    loud = [i for i, v in enumerate(s[-48000:]) if abs(v) > 0.02]
    if len(loud) > 40000:
        sys.exit(0)
    time.sleep(0.1)
sys.exit("the first track was never heard")
EOF
start=$(stat -c %s "$work/recording")
# What the program holds (descriptors, resident memory), to see that the presses leave nothing.
holds() { echo "$(ls /proc/"$player"/fd | wc -l) fds, $(sed -n 's/^VmRSS:\s*//p' /proc/"$player"/status)"; }
before=$(holds)
for ((i = 0; i < presses; i++)); do
  QT_QPA_PLATFORM=offscreen "$work/bin/solka" ZZZ_NEXT_PLAY >/dev/null 2>&1 || true
  sleep 0.$((5 + RANDOM % 4))
done
sleep 1
echo "the program held $before before the presses, $(holds) after"
stop "$player"
player=
stop "$recorder"
recorder=
# The tracks the presses started, as the window's caption named them.
changes=$(($(grep -c '^solka: caption: t[0-9]' "$work/player.log") - 1))
python3 - "$work/recording" "$start" "$presses" "$changes" <<'EOF'
import array, statistics, sys
path, start, presses = sys.argv[1], int(sys.argv[2]) // 4, int(sys.argv[3])
changes = int(sys.argv[4])
rate = 48000
samples = array.array("f")
data = open(path, "rb").read()
samples.frombytes(data[: len(data) // 4 * 4])
samples = samples[start:]
loud = [i for i, s in enumerate(samples) if abs(s) > 0.02]
# Silence shorter than three samples is a zero crossing of the tone, not a gap.
gaps, quiet = [], 0
for i in range(loud[0], loud[-1] + 1):
    if abs(samples[i]) <= 0.02:
        quiet += 1
        continue
    if quiet >= 3:
        gaps.append(quiet / rate * 1000)
    quiet = 0
ms = sorted(gaps, reverse=True)[:presses]
ms += [0.0] * (presses - len(ms))
print(f"user's Next: {presses} presses, {changes} track changes, silence median {statistics.median(ms):.2f} ms, "
      f"worst {max(ms):.2f} ms")
EOF
