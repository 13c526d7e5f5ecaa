#!/usr/bin/env bash
# The real program under a window manager: F5 opens the list selection dialog, "参照" browses to
# a base folder, "全選択" and "OK" take its sub-folder; the list then plays that folder's tracks,
# the settings file holds the new base folder and its history, and playback goes on while the
# dialog is open again.
#   dialog_choose_folder.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
e2e_prepare "$1"
ini="$work/bin/solka.ini"
desktop_start

# WINDOW X Y: a left click at a point of the window's client area.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }

mkdir -p "$work/music/album"
tone album/first.wav wavenc
tone album/second.wav wavenc

start_program
wait_for "solka: caption: $designed"
main=$(titled_window "^SOLKA Player")
xdotool windowactivate --sync "$main" key F5
dialog=$(titled_window "^フォルダまたは")
# The list tab's page starts below the tab bar; its controls sit at their designed places.
page_x=2 page_y=24
click "$dialog" $((page_x + 241)) $((page_y + 33))  # 参照
browser=$(titled_window "^フォルダを選択してください")
xdotool type --delay 20 "$work/music"
xdotool key Return
for _ in $(seq 100); do xdotool search --onlyvisible --name "^フォルダを選択" >/dev/null || break; sleep 0.1; done
click "$dialog" $((page_x + 167)) $((page_y + 61))  # 全選択
click "$dialog" 45 362                             # OK
for _ in $(seq 100); do xdotool search --onlyvisible --name "^フォルダまたは" >/dev/null || break; sleep 0.1; done
xdotool search --onlyvisible --name "^フォルダまたは" >/dev/null && fail "the dialog stayed open"

tr -d '\r' <"$ini" >"$work/ini.txt"
grep -qx "BaseFolder=$work/music" "$work/ini.txt" || fail "BaseFolder not saved: $(cat "$work/ini.txt")"
grep -qx '\[RECENT_PATH\]' "$work/ini.txt" || fail "no [RECENT_PATH] section"
grep -qx "0=$work/music" "$work/ini.txt" || fail "the base folder is not in the history"

# The list holds the folder's tracks in order: continuous play goes through them.
xdotool windowactivate --sync "$main" key F8
wait_for "solka: caption: first"
# The dialog open again does not hold the music up: the next track starts behind it.
xdotool windowactivate --sync "$main" key F5
dialog=$(titled_window "^フォルダまたは")
wait_for "solka: caption: second"
xdotool search --onlyvisible --name "^フォルダまたは" >/dev/null || fail "the dialog closed by itself"
xdotool windowactivate --sync "$dialog" key Escape
end_program
echo "ok"
