#!/usr/bin/env bash
# The real program under a window manager with a real task bar: TaskButton=1 puts a button for
# the window on the task bar, TaskButton=0 leaves the task bar as it was. The task bar is looked
# at as pixels (it draws one button per window it lists), and the window's properties are those
# task bars go by.
#   desktop_task_bar.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
desktop_require tint2 import convert
e2e_prepare "$1"
desktop_start taskbar
ini="$work/bin/solka.ini"

bar=$(xdotool search --name '^tint2$' | head -n1)
# The task bar's pixels, as a checksum.
bar_pixels() { import -window "$bar" rgb:- 2>/dev/null | md5sum; }
# The empty bar once tint2 has drawn it: two reads alike.
drawn() { [[ $(bar_pixels) == "$(bar_pixels)" ]]; }
poll 20 drawn || fail "the task bar keeps changing"
empty=$(bar_pixels)

printf '[SETTING]\r\nTaskButton=1\r\n' >"$ini"
start_program
w=$(main_window)
poll 20 is_shown "$w" || fail "TaskButton=1: window not shown"
xprop -id "$w" WM_TRANSIENT_FOR | grep -q 'not found' || fail "transient for another window"
xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_NORMAL' ||
  fail "not an ordinary window: $(xprop -id "$w" _NET_WM_WINDOW_TYPE)"
skips_taskbar "$w" && fail "TaskButton=1 skips the task bar"
button_shown() { [[ $(bar_pixels) != "$empty" ]]; }
poll 10 button_shown || fail "TaskButton=1: no button on the task bar"
end_program
poll 10 eval '[[ $(bar_pixels) == "$empty" ]]' || fail "the button stayed after the program ended"

printf '[SETTING]\r\nTaskButton=0\r\n' >"$ini"
start_program
w=$(main_window)
poll 20 is_shown "$w" || fail "TaskButton=0: window not shown"
poll 20 skips_taskbar "$w" || fail "TaskButton=0 does not skip the task bar"
holds 2 eval '[[ $(bar_pixels) == "$empty" ]]' || fail "TaskButton=0: a button on the task bar"
end_program
echo "ok"
