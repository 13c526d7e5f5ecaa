#!/usr/bin/env bash
# The real program ended by SIGTERM writes every [SETTING] key beside itself, keeps what it does
# not know byte for byte, and moves its settings to the user's config folder when its own folder
# is read-only; a file that never answers or a stopped sound server do not keep it from ending.
#   settings_on_sigterm.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
ini="$work/bin/solka.ini"

# Starts the program without an argument, waits for its window, and ends it with SIGTERM.
run_and_terminate() {
  start_program
  wait_for 'solka: caption:'
  end_program
}

keys="BaseFolder ListHide JukeMode Top Left ListFile Hint Top2 Sort AutoPlay FileType SubFolder
Ext_MP3 Ext_WAV Ext_WMA Ext_MIDI Ext_OGG Ext_APE Ext_ACC SleepMode TaskButton AppName Run_App
CloseBtn Volume MonitorPower WMP_NowPlaying"

# First run: no file yet.
run_and_terminate
[ -f "$ini" ] || fail "no settings file beside the program"
written=$(sed -n '/^\[SETTING\]$/,/^\[/p' "$ini" | grep -o '^[A-Za-z_0-9]*=' | tr -d '=' | xargs)
[ "$written" = "$(echo $keys)" ] || fail "keys written: $written"

# Content the program does not know survives a run unchanged.
printf '; mine\r\n[RECENT_PATH]\r\n0=/music\r\n\r\n[SETTING]\r\nFuture=1\r\nVolume=-2550\r\n' >"$ini"
run_and_terminate
kept=$(printf '; mine\r\n[RECENT_PATH]\r\n0=/music\r\n\r\n[SETTING]\r\n' | od -c)
[ "$(head -c 46 "$ini" | od -c)" = "$kept" ] ||
  fail "content before the section changed"
grep -q $'^Future=1\r$' "$ini" || fail "unknown key lost"
grep -q $'^Volume=-2550\r$' "$ini" || fail "volume not kept"

# A read-only program folder (root may write anywhere, so only checked for other users).
if [ "$(id -u)" -ne 0 ]; then
  rm "$ini"
  chmod a-w "$work/bin"
  run_and_terminate
  [ ! -f "$ini" ] || fail "wrote into a read-only program folder"
  [ -f "$XDG_CONFIG_HOME/solka/solka.ini" ] || fail "no settings in the config folder"
fi
# SIGTERM while the track's file never answers (a pipe whose writer wrote a little and went
# quiet) still ends the program with its settings saved.
rm -f "$ini"
wav="$work/whole.wav"
gst-launch-1.0 -q audiotestsrc num-buffers=100 samplesperbuffer=800 ! \
  audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$wav" >/dev/null
mkfifo "$work/music/stalled.wav"
(
  exec 3<>"$work/music/stalled.wav"
  head -c 32044 "$wav" >&3
  exec sleep 600
) &
writer=$!
start_program "$work/music/stalled.wav"
wait_for 'solka: caption: stalled'
# Until what was written has played and the reading thread waits inside read() (where the
# kernel tells it; elsewhere the signal comes while the track still plays).
for _ in $(seq 300); do
  grep -qs pipe_read /proc/"$pid"/task/*/wchan && break
  sleep 0.1
done
end_program
kill "$writer"
[ -f "$ini" ] || fail "no settings after SIGTERM with a stalled file"

# SIGTERM while the sound server is stopped (it accepts and never answers) still ends the
# program with its settings saved. Needs a private PulseAudio; skipped without one.
if command -v pulseaudio >/dev/null && command -v pactl >/dev/null; then
  rm -f "$ini" "$work/music/stalled.wav"
  tone a.wav wavenc
  mkdir -p "$work/home"
  HOME="$work/home" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    -L module-native-protocol-unix -L "module-null-sink sink_name=e2e" 2>/dev/null &
  server=$!
  for _ in $(seq 100); do HOME="$work/home" pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  HOME="$work/home" SOLKA_AUDIO_SINK="" start_program "$work/music"
  wait_for 'solka: caption: a'
  for _ in $(seq 100); do
    HOME="$work/home" pactl list short sink-inputs | grep -q . && break
    sleep 0.1
  done
  kill -STOP "$server"
  end_program
  # Started while the server is stopped: the output opened during the start never answers, the
  # track plays to a silent sink once its bound has passed, and SIGTERM still ends the program.
  rm -f "$ini"
  HOME="$work/home" SOLKA_AUDIO_SINK="" start_program "$work/music"
  wait_for 'solka: caption: a'
  end_program
  [ -f "$ini" ] || fail "no settings after SIGTERM of a start with the sound server stopped"
  kill -CONT "$server"
  kill -KILL "$server"
  [ -f "$ini" ] || fail "no settings after SIGTERM with the sound server stopped"
fi
echo "ok"
