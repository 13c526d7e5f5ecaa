#!/usr/bin/env bash
# The real program ended by SIGTERM writes every [SETTING] key beside itself, keeps what it does
# not know byte for byte, and moves its settings to the user's config folder when its own folder
# is read-only.
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
echo "ok"
