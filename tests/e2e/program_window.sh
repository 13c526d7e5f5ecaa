#!/usr/bin/env bash
# The real program: a folder on the command line hides the window and plays the first track;
# SIGTERM, SIGINT and SIGHUP each end it normally, with the settings saved beside the program.
#   program_window.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
ini="$work/bin/solka.ini"

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

for sig in TERM INT HUP; do
  rm -f "$ini"
  start_program "$work/music"
  wait_for "solka: caption: $designed"
  # Hidden to the tray and playing: the tray hint is the playing track's caption.
  wait_for 'solka: tray: 1 \(first\|second\)$'
  end_program "$sig"
  grep -q '^\[SETTING\]' "$ini" || fail "SIG$sig: settings not saved"
  grep -q '^Left=' "$ini" || fail "SIG$sig: window position not saved"
done

# An argument may arrive with its enclosing double quotes (a path with blanks).
mkdir "$work/my music"
cp "$work/music/first.wav" "$work/my music/only one.wav"
start_program "\"$work/my music\""
wait_for 'solka: tray: 1 only one$'
end_program

# Without an argument the window stays up, empty and idle.
rm -f "$ini"
start_program
wait_for "solka: caption: $designed"
holds 1 eval '! grep -q "solka: tray: 1 " "$err"' || fail "played without a list"
end_program
grep -q '^\[SETTING\]' "$ini" || fail "settings not saved"
echo "ok"
