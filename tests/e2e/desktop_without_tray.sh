#!/usr/bin/env bash
# The real program under a window manager with no notification area, checked as the window
# manager reports the window: hiding minimises it with a task-bar entry and restoring it shows it
# normally with the task-bar setting kept, any number of times; the stored position is the
# frame's and does not move from run to run; a position off every screen is shown on the screen
# and kept; compact view with the pointer over the list leaves the wheel to the volume; a close
# request while the start-up's message box waits ends the program.
#   desktop_without_tray.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
e2e_prepare "$1"
desktop_start
ini="$work/bin/solka.ini"
tone first.wav wavenc
tone second.wav wavenc

# --- Hide and restore without a notification area (TaskButton=0 is the default).
start_program "$work/music"
w=$(main_window)
has_taskbar_entry() { ! skips_taskbar "$1"; }
for round in 1 2 3; do
  # Hidden at start-up (round 1), by the tray button (round 2) or minimised by the window
  # manager (round 3): minimised, with an entry.
  poll 20 is_iconic "$w" || fail "round $round: not minimised ($(wm_state "$w"))"
  # The program adds the entry when it sees the window minimised, just after the manager did.
  poll 20 has_taskbar_entry "$w" ||
    fail "round $round: minimised without a task-bar entry ($(describe "$w"))"
  # Restored from the task bar, as a task bar does it.
  wmctrl -i -a "$w"
  poll 20 is_shown "$w" || fail "round $round: not shown normally after restoring ($(describe "$w"))"
  poll 20 skips_taskbar "$w" || fail "round $round: the task-bar setting was not kept ($(describe "$w"))"
  holds 1 is_shown "$w" || fail "round $round: minimised again after restoring ($(describe "$w"))"
  case $round in
    1) click_control "$w" SpeedButton1 1 ;;
    2) xdotool windowminimize "$w" ;;
  esac
done
end_program

# --- The stored position is the frame's; it stays put from run to run.
printf '[SETTING]\r\nLeft=300\r\nTop=200\r\n' >"$ini"
for run in 1 2; do
  start_program
  w=$(main_window)
  poll 20 is_shown "$w" || fail "run $run: window not shown"
  at_300_200() { [[ $(frame_position "$w") == "300 200" ]]; }
  poll 20 at_300_200 && holds 1 at_300_200 || fail "run $run: frame at $(frame_position "$w")"
  end_program
  [[ $(setting Left),$(setting Top) == 300,200 ]] ||
    fail "run $run: position saved as $(setting Left),$(setting Top)"
done

# --- A position off every screen: shown on the screen, stored values kept until moved.
printf '[SETTING]\r\nLeft=-5000\r\nTop=32767\r\n' >"$ini"
start_program
w=$(main_window)
poll 20 is_shown "$w" || fail "window off the screen not shown"
read -r fx fy < <(frame_position "$w")
((fx >= 0 && fx < 1024 && fy >= 0 && fy < 768)) || fail "frame at $fx,$fy is off the screen"
end_program
[[ $(setting Left),$(setting Top) == -5000,32767 ]] ||
  fail "stored position replaced: $(setting Left),$(setting Top)"
start_program
w=$(main_window)
poll 20 is_shown "$w" || fail "window not shown"
# The user moves it (the window manager moves the frame).
wmctrl -i -r "$w" -e 0,120,90,-1,-1
poll 20 test "$(frame_position "$w")" == "120 90" || fail "not moved: $(frame_position "$w")"
poll 20 eval '[[ $(traced geometry) == "120 90" ]]' || fail "the program did not take the move"
end_program
[[ $(setting Left),$(setting Top) == 120,90 ]] ||
  fail "moved position saved as $(setting Left),$(setting Top)"

# --- F4 with the pointer over the list: the wheel changes the volume in the compact view.
printf '[SETTING]\r\nVolume=-2000\r\n' >"$ini"
start_program
w=$(main_window)
poll 20 is_shown "$w" || fail "window not shown"
read -r lx ly lw lh < <(control FIListBox1)
xdotool windowactivate "$w"
active() { [[ $(xdotool getactivewindow) == "$w" ]]; }
poll 20 active || fail "the window did not become active"
xdotool mousemove --window "$w" $((lx + lw / 2)) $((ly + lh / 2))
poll 20 eval '[[ $(traced pointer) == list ]]' || fail "the pointer did not reach the list"
xdotool key F4
# The window is 68 high now (the window manager may take a moment to say so); the panel is
# where the pointer goes next.
compact() { (($(xwininfo -id "$w" | sed -n 's/.*Height: //p') < 100)); }
poll 5 compact || true
steps=$(traced_count label3)
xdotool mousemove --window "$w" 20 $((68 - 24 - 9)) click 4 click 4
poll 20 eval '(($(traced_count label3) >= steps + 2))' || fail "the wheel did not reach the volume"
end_program
[[ $(setting Volume) == -1800 ]] || fail "wheel in compact view: Volume=$(setting Volume)"

# --- SIGTERM while the start-up's "cannot open" box waits: the program ends, settings saved.
rm -f "$ini"
mkfifo "$work/unreadable.m3u"  # a list that exists but cannot be read
start_program "$work/unreadable.m3u"
poll 20 xdotool search --all --pid "$pid" --name '^SOLKA$' || fail "no message box"
end_program TERM
grep -q '^\[SETTING\]' "$ini" || fail "settings not saved on SIGTERM during the message box"
echo "ok"
