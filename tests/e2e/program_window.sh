#!/usr/bin/env bash
# The real program: a folder on the command line hides the window and plays the first track;
# SIGTERM, SIGINT and SIGHUP each end it normally, with the settings saved beside the program.
#   program_window.sh PATH-TO-SOLKA
set -euo pipefail
solka=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SOLKA_AUDIO_SINK=${SOLKA_AUDIO_SINK:-fakesink sync=true}
export SOLKA_POWER=dry-run
export SOLKA_TRACE=1
export XDG_RUNTIME_DIR="$work/runtime"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The settings file goes beside the program, so the program runs from a folder of its own.
mkdir "$work/bin" "$work/music"
cp "$solka" "$work/bin/solka"

# Three seconds of silence as 8 kHz 8-bit mono WAV (24000 data bytes).
wav() {
  {
    printf 'RIFF\xe4\x5d\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
    printf '\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\xc0\x5d\x00\x00'
    head -c 24000 /dev/zero | tr '\0' '\200'
  } >"$1"
}
wav "$work/music/first.wav"
wav "$work/music/second.wav"

fail() { echo "FAIL: $*"; echo "--- stderr:"; cat "$work/err"; exit 1; }

# Waits up to 20 s for a line in the program's stderr.
wait_for() {
  for _ in $(seq 200); do
    grep -q -- "$1" "$work/err" && return 0
    sleep 0.1
  done
  fail "no line matching '$1'"
}

for sig in TERM INT HUP; do
  rm -f "$work/bin/solka.ini"
  "$work/bin/solka" "$work/music" 2>"$work/err" &
  pid=$!
  wait_for 'solka: caption: SOLKA Player DirectShow Ver.'
  # Hidden to the tray and playing: the tray hint is the playing track's caption.
  wait_for 'solka: tray: 1 \(first\|second\)$'
  kill -"$sig" "$pid"
  status=0
  timeout 20 tail --pid="$pid" -f /dev/null || fail "SIG$sig did not end the program"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "SIG$sig: exit status $status"
  grep -q '^\[SETTING\]' "$work/bin/solka.ini" || fail "SIG$sig: settings not saved"
  grep -q '^Left=' "$work/bin/solka.ini" || fail "SIG$sig: window position not saved"
done

# An argument may arrive with its enclosing double quotes (a path with blanks).
mkdir "$work/my music"
cp "$work/music/first.wav" "$work/my music/only one.wav"
"$work/bin/solka" "\"$work/my music\"" 2>"$work/err" &
pid=$!
wait_for 'solka: tray: 1 only one$'
kill -TERM "$pid"
wait "$pid" || fail "exit status $?"

# Without an argument the window stays up, empty and idle.
rm -f "$work/bin/solka.ini"
"$work/bin/solka" 2>"$work/err" &
pid=$!
wait_for 'solka: caption: SOLKA Player DirectShow Ver.'
sleep 1
grep -q 'solka: tray: 1 ' "$work/err" && fail "played without a list"
kill -TERM "$pid"
wait "$pid" || fail "exit status $?"
grep -q '^\[SETTING\]' "$work/bin/solka.ini" || fail "settings not saved"
echo "ok"
