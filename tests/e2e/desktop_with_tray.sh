#!/usr/bin/env bash
# The real program under a window manager with a notification area, checked as the window
# manager reports the window: the tray icon hides and shows it any number of times and
# TaskButton=0 keeps it off the task bar every time it comes back; a quick double click on the
# icon counts as two clicks; minimising hides to the tray; a quick double right-click on Stop
# toggles pause twice.
#   desktop_with_tray.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
e2e_prepare "$1"
desktop_start tray
ini="$work/bin/solka.ini"
# Long enough that the first track still plays while the window is tried out.
gst-launch-1.0 -q audiotestsrc samplesperbuffer=4410 num-buffers=600 ! \
  audio/x-raw,rate=44100,channels=2 ! audioconvert ! wavenc ! \
  filesink location="$work/music/long.wav" >/dev/null

start_program "$work/music"
wait_for 'solka: tray: 1 long$'
w=$(main_window)
poll 20 is_withdrawn "$w" || fail "not hidden to the tray at start-up ($(wm_state "$w"))"
for round in 1 2 3; do
  click_tray 1
  poll 20 is_shown "$w" || fail "round $round: the tray click did not show the window ($(describe "$w"))"
  poll 20 skips_taskbar "$w" || fail "round $round: a task-bar entry came back ($(describe "$w"))"
  holds 1 skips_taskbar "$w" || fail "round $round: a task-bar entry came back later ($(describe "$w"))"
  click_tray 1
  poll 20 is_withdrawn "$w" || fail "round $round: the tray click did not hide the window ($(describe "$w"))"
done

# A quick double click on the hidden window's icon: shown, then hidden again (a lost second
# click would leave it shown).
sleep 0.6 # the double-click interval: not a double click with the last click above
shows=$(traced_count visible)
click_tray 1 2
poll 20 eval '(($(traced_count visible) >= shows + 2))' ||
  fail "the second click of a double click was lost (visible: $(traced visible))"
poll 20 is_withdrawn "$w" || fail "hidden by the double click but not withdrawn ($(wm_state "$w"))"
click_tray 1
poll 20 is_shown "$w" || fail "the window did not come back after the double click"

# Minimised by the window manager: hidden to the tray, and the icon brings it back normally.
xdotool windowminimize "$w"
poll 20 is_withdrawn "$w" || fail "minimising did not hide to the tray ($(wm_state "$w"))"
click_tray 1
poll 20 is_shown "$w" || fail "the window did not come back normally after minimising"

# A quick double right-click on Stop pauses and resumes: the tray ends up showing the track.
click_control "$w" ToolButton9 3 2
wait_for 'solka: tray: 3 Pause$'
poll 20 eval '[[ $(traced tray) == "1 long" ]]' ||
  fail "the second right-click on Stop was lost: $(grep 'solka: tray:' "$err" | tail -n2 | xargs)"
# A single one pauses.
click_control "$w" ToolButton9 3 1
poll 20 eval '[[ $(traced tray) == "3 Pause" ]]' || fail "right-click did not pause"
end_program
echo "ok"
