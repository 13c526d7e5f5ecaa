#!/usr/bin/env bash
# First sound: how long the real program, started on a folder of one track, takes from its
# exec to the first sample a listener hears (the private sound server's null output, recorded
# from its monitor while a silent stream holds it running), against two floors on the same
# track: the media framework's bare player (gst-launch playbin, headless: what any program on
# it pays) and the sound server's own player (paplay). All carry the recorder's latency alike
# (the null output mixes in blocks of about 5 ms). Prints the mean of the middle half of ROUNDS
# interleaved runs of each, and the program's ratio to the framework's floor; given a second
# build (an earlier one), that too, in the same rounds, and the ratio of the two. Under a
# display (DISPLAY and QT_QPA_PLATFORM=xcb) the program's window is part of its figure.
#   bench/first_sound.sh [PATH-TO-SOLKA] [ROUNDS] [OTHER-SOLKA]
#   (defaults: build-release/solka, 9, none)
# Needs pulseaudio and pulseaudio-utils; no sound card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build-release/solka}")
rounds=${2:-9}
other=${3:+$(realpath "$3")}
[[ -x $binary ]] || {
  echo "no program at $binary (build it with tools/run, or name it)" >&2
  exit 1
}
work=$(mktemp -d)
server= holder=
source "$root/bench/gap_lib.sh"
source "$root/bench/copy_program.sh"
gap_require pulseaudio parec paplay pactl gst-launch-1.0 python3
cleanup() {
  stop "$holder"
  stop "$server"
  rm -rf "$work"
}
trap cleanup EXIT
gap_sound_server
mkdir -p "$work/bin" "$work/other" "$work/config" "$work/one"
copy_program "$binary" "$work/bin"
[[ -z $other ]] || copy_program "$other" "$work/other"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SOLKA_POWER=dry-run
gst-launch-1.0 -q audiotestsrc wave=silence is-live=true ! pulsesink device=gap \
  >/dev/null 2>&1 &
holder=$!
tone one/track.wav 44100 2 wavenc 20

# One run: the recorder is started, then COMMAND; the milliseconds from the exec to the first
# loud sample, counted in samples of the recording from the moment of the exec.
python3 - "$rounds" "$work" "$other" <<'EOF'
import array, os, statistics, subprocess, sys, threading, time
rounds, work, other = int(sys.argv[1]), sys.argv[2], sys.argv[3]
rate = 48000

def first_sound(command):
    recorder = subprocess.Popen(
        ["parec", "--latency-msec=5", "-d", "gap.monitor", "--format=float32le",
         f"--rate={rate}", "--channels=1", "--raw"], stdout=subprocess.PIPE)
    got = bytearray()
    lock = threading.Lock()
    def read():
        while chunk := recorder.stdout.read1(4096):
            with lock:
                got.extend(chunk)
    reader = threading.Thread(target=read)
    reader.start()
    while True:  # until the recorder delivers
        with lock:
            if len(got) > rate: break
        time.sleep(0.01)
    with lock:
        start = len(got) // 4
    player = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    heard = None
    deadline = time.monotonic() + 10
    while heard is None and time.monotonic() < deadline:
        time.sleep(0.02)
        with lock:
            samples = array.array("f")
            samples.frombytes(bytes(got[start * 4: len(got) // 4 * 4]))
        heard = next((i for i, s in enumerate(samples) if abs(s) > 0.02), None)
    player.terminate()
    player.wait()
    recorder.terminate()
    reader.join()
    recorder.wait()
    if heard is None:
        sys.exit(f"never heard: {command[0]}")
    return heard / rate * 1000

track = f"{work}/one/track.wav"
commands = {
    "SOLKA": [f"{work}/bin/solka", f"{work}/one"],
    "playbin": ["gst-launch-1.0", "-q", "playbin", f"uri=file://{track}"],
    "paplay": ["paplay", track],
}
if other:
    commands["other"] = [f"{work}/other/solka", f"{work}/one"]
times = {name: [] for name in commands}
for command in commands.values():
    first_sound(command)  # warms the file system's caches
for _ in range(rounds):
    for name, command in commands.items():
        times[name].append(first_sound(command))
def middle_mean(values):
    # The server mixes in blocks of a few milliseconds, so one run's figure is rounded up to a
    # block; runs start at every phase of it, and the mean of the middle half of them resolves
    # what a median, always a whole block, cannot.
    values = sorted(values)
    quarter = len(values) // 4
    return statistics.mean(values[quarter:len(values) - quarter])
ms = {name: middle_mean(values) for name, values in times.items()}
print(f"exec to first sound, a folder of one track (mean of the middle half of {rounds} "
      "interleaved runs):")
print(f"SOLKA:    {ms['SOLKA']:6.1f} ms")
print(f"playbin:  {ms['playbin']:6.1f} ms (the media framework's bare player, headless)")
print(f"paplay:   {ms['paplay']:6.1f} ms (the sound server's own player)")
print(f"SOLKA / playbin: {ms['SOLKA'] / ms['playbin']:.2f}")
if other:
    print(f"other:    {ms['other']:6.1f} ms (the build named third)")
    print(f"SOLKA / other: {ms['SOLKA'] / ms['other']:.2f}")
EOF
