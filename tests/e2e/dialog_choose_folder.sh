#!/usr/bin/env bash
# The real program under a window manager: F5 opens the list selection dialog, which browses to
# a base folder by itself when it has none; "全選択" and "OK" take its sub-folder; the list then
# plays that folder's tracks, the settings file holds the new base folder and its history, and playback goes on while the
# dialog is open again; the dialog belongs to the main window.
#   dialog_choose_folder.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
e2e_prepare "$1"
ini="$work/bin/solka.ini"
desktop_start

# WINDOW X Y: a left click at a point of the window's client area.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

mkdir -p "$work/music/album"
tone album/first.wav wavenc
tone album/second.wav wavenc

start_program
wait_for "solka: caption: $designed"
main=$(titled_window "^SOLKA Player")
active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
# WINDOW KEY: the key once the window is active (activating may need asking again when busy).
key_to() {
  activate() { xdotool windowactivate "$1" 2>/dev/null; active "$1"; }
  poll 20 activate "$1" || fail "window $1 did not become active"
  xdotool key "$2"
}
key_to "$main" F5
dialog=$(titled_window "^フォルダまたは")
# The list tab's page starts below the tab bar; its controls sit at their designed places.
page_x=2 page_y=24
# Without a base folder yet, the browser opens by itself.
browser=$(titled_window "^フォルダを選択してください")
poll 20 active "$browser" || fail "the folder browser did not take the keyboard"
xdotool type --delay 20 "$work/music"
xdotool key Return
poll 20 window_gone "^フォルダを選択" || fail "the folder browser stayed open"
# Clicks reach the dialog only once it takes input again after the browser.
poll 20 active "$dialog" || fail "the dialog did not take input back from the browser"
click "$dialog" $((page_x + 167)) $((page_y + 61))  # 全選択
click "$dialog" 45 362                             # OK
poll 20 window_gone "^フォルダまたは" || fail "the dialog stayed open"

# Written once the dialog has gone: the history first, then the settings.
saved() { tr -d '\r' <"$ini" >"$work/ini.txt" && grep -qx "BaseFolder=$work/music" "$work/ini.txt"; }
poll 20 saved || fail "BaseFolder not saved: $(cat "$work/ini.txt")"
grep -qx '\[RECENT_PATH\]' "$work/ini.txt" || fail "no [RECENT_PATH] section"
grep -qx "0=$work/music" "$work/ini.txt" || fail "the base folder is not in the history"

# The list holds the folder's tracks in order: continuous play goes through them.
key_to "$main" F8
wait_for "solka: caption: first"
# The dialog open again does not hold the music up: the next track starts behind it.
key_to "$main" F5
dialog=$(titled_window "^フォルダまたは")
wait_for "solka: caption: second"
xdotool search --onlyvisible --name "^フォルダまたは" >/dev/null || fail "the dialog closed by itself"
# It belongs to the main window: no task-bar entry of its own, and minimised (the window manager
# takes the main window along) it comes back when the main window is restored.
xprop -id "$dialog" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$main")$" || fail "not owned"
poll 20 skips_taskbar "$dialog" || fail "the dialog has a task-bar entry ($(describe "$dialog"))"
xdotool windowminimize "$dialog"
poll 20 is_iconic "$dialog" || fail "the dialog was not minimised ($(describe "$dialog"))"
wmctrl -i -a "$main"
poll 20 is_shown "$dialog" || fail "the dialog stayed minimised ($(describe "$dialog"))"
key_to "$dialog" Escape
poll 20 window_gone "^フォルダまたは" || fail "Esc left the dialog open"
click_control "$main" SleepButton 1
timed=$(titled_window "^時刻設定")
close_alone() {
  local actions
  actions=$(xprop -id "$timed" _NET_WM_ALLOWED_ACTIONS)
  [[ $actions == *_CLOSE* && $actions != *MINIMIZE* && $actions != *MAXIMIZE* ]]
}
poll 20 close_alone || fail "time dialog: $(xprop -id "$timed" _NET_WM_ALLOWED_ACTIONS)"
key_to "$timed" Escape
end_program
echo "ok"
