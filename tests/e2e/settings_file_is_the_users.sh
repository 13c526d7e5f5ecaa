#!/usr/bin/env bash
# The real program and a settings file it may not or cannot replace: a file made read-only is
# left exactly as it is, a save that fails says so in one line on stderr, and what a killed save
# left behind is cleared by the next one.
#   settings_file_is_the_users.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
ini="$work/bin/solka.ini"

run_and_terminate() {
  : >"$err"
  start_program
  wait_for 'solka: caption:'
  end_program
}
not_saved_lines() { grep -c '^solka: settings not saved' "$err" || true; }

# Read-only: the same bytes and the same mode afterwards, root or not.
printf '[SETTING]\r\nVolume=-2550\r\n; the user keeps this file as it is\r\n' >"$ini"
chmod 444 "$ini"
cp -p "$ini" "$work/expected.ini"
run_and_terminate
cmp -s "$ini" "$work/expected.ini" || fail "the read-only settings file was changed"
[[ $(stat -c %a "$ini") == 444 ]] || fail "mode changed to $(stat -c %a "$ini")"
[[ $(not_saved_lines) == 1 ]] || fail "not one line about the unsaved settings"
grep -q "^solka: settings not saved to $ini: " "$err" || fail "the line does not name the file"

# A temporary file of a save that was killed (its writer gone) goes with the next save.
chmod 644 "$ini"
sleep 0 &
gone=$!
wait "$gone"
leftover="$work/bin/.solka-$gone-0.tmp"
echo partial >"$leftover"
run_and_terminate
[[ ! -e $leftover ]] || fail "the leftover of a killed save is still there"
grep -q $'^Volume=-2550\r$' "$ini" || fail "settings not saved"
[[ $(not_saved_lines) == 0 ]] || fail "a save that worked was reported as failed"
ls -A "$work/bin" | grep -q '^\.solka-' && fail "a temporary file was left behind"

# The folder gone while the program runs (once its start-up has placed the settings file): the
# save at exit fails and says so once.
: >"$err"
start_program
wait_for "solka: tray: 3 $idle"
mv "$work/bin" "$work/moved"
solka="$work/moved/solka"
end_program
[[ $(not_saved_lines) == 1 ]] || fail "the failed save was not reported once"

# A program folder that takes no new files (only checked for other users: root may write
# anywhere) keeps using a settings file there that may be written, rewriting it in place.
if [ "$(id -u)" -ne 0 ]; then
  mv "$work/moved" "$work/bin"
  solka="$work/bin/solka"
  printf '[SETTING]\r\nVolume=-1000\r\n' >"$ini"
  chmod a-w "$work/bin"
  run_and_terminate
  grep -q $'^WMP_NowPlaying=' "$ini" || fail "the file beside the program was not rewritten"
  [ ! -e "$XDG_CONFIG_HOME/solka/solka.ini" ] || fail "settings moved to the config folder"
fi
echo "ok"
