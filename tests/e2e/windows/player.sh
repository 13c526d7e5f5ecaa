#!/usr/bin/env bash
# solka.exe under Wine on a desktop with a notification area, on a Japanese system (Shift-JIS
# code page): started on a folder it hides to the tray and plays the list to its end through
# DirectShow; a second solka.exe hands its folder over and ends with exit code 1, and the player
# stays in the tray; from the tray icon the window comes back with its position running, and
# one more click hides it; a move near the screen's edge snaps onto it; F5 opens the list
# selection dialog on the base folder of a Shift-JIS solka.ini, where Return does nothing until
# a row is ticked, and "OK" replaces the list; the time dialog's arrows step the hour within its
# range; the exit button saves solka.ini beside the program, in Shift-JIS with CR LF as it was.
# Usage: player.sh PATH-TO-SOLKA.EXE
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib/program.sh"
source "$here/../lib/desktop.sh"
source "$here/../lib/wine.sh"
wine_prepare "$1"
# Wine takes the code page from the locale: a Japanese one, made for this run.
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" >/dev/null 2>&1 ||
  [[ -f $work/locale/ja_JP.UTF-8/LC_CTYPE ]] || { echo "SKIP: no ja_JP locale source" >&2; exit 77; }
# (The shell itself keeps its own locale and says so.)
{ export LOCPATH="$work/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
lib="$work/日本"
mkdir -p "$work/music/a" "$work/music/b" "$lib/c"
for name in a/t1 a/t2 ../日本/c/v1; do tone "$name.wav" wavenc; done
TONE_SECONDS=60 tone b/u1.wav wavenc  # plays on while the window comes and goes
printf '[SETTING]\r\nSort=1\r\nBaseFolder=%s\r\n' "$(winpath "$lib")" | iconv -f UTF-8 -t CP932 >"$ini"
wine_desktop_start tray

start_program "$(winpath "$work/music/a")"
wait_for 'solka: caption: t1$'
poll 20 no_window_titled '^(t[12]|DODEDEV 1.7.2.0|SOLKA Player DirectShow Ver.)$' ||
  fail "the window did not go to the tray"
wait_for 'solka: caption: t2$'
echo "PASS: started on a folder it hides to the tray and plays the list"

status=0
timeout 60 "$solka" "$(winpath "$work/music/b")" 2>"$work/second.err" || status=$?
[[ $status -eq 1 ]] || fail "second start: exit status $status ($(cat "$work/second.err"))"
wait_for 'solka: caption: u1$'
shown='^(u1|DODEDEV 1.7.2.0|SOLKA Player DirectShow Ver.)$'
holds 3 no_window_titled "$shown" || fail "the hand-over showed the window of a player in the tray"
[[ $(traced visible) == 0 ]] || fail "the player thinks itself shown"
echo "PASS: a second solka.exe hands its folder over and ends with exit code 1; the player stays in the tray"

# Back from the tray: a click on the icon; the position runs; one more click hides it again.
click_wine_tray 1
win=$(wine_window "$shown")
wait_for 'solka: label1: 00:\(0[1-9]\|[1-5][0-9]\) / 01:00$'
[[ $(traced visible) == 1 ]] || fail "the shown window is not shown for the player"
click_wine_tray 1
poll 20 no_window_titled "$shown" || fail "one click on the icon did not hide the window"
click_wine_tray 1
win=$(wine_window "$shown")
echo "PASS: the tray icon shows the window with its position running, and hides it with one click"

# The key goes where the window system's focus is: the window is activated until it has it.
f5_opens_dialog() {
  xdotool windowactivate --sync "$win" key F5
  poll 3 window_named 'フォルダまたはリストファイルを選択してください'
}
poll 30 f5_opens_dialog || fail "F5 did not open the list selection dialog"
dialog=$(wine_window 'フォルダまたはリストファイルを選択してください')
xdotool windowactivate --sync "$dialog" key Return
holds 2 window_named 'フォルダまたは' || fail "Return with nothing ticked closed the dialog"
click_control "$dialog" TForm2.Button2 1
click_control "$dialog" TForm2.BitBtn2 1
poll 20 no_window_titled 'フォルダまたは' || fail "OK did not close the dialog"
# The first row is the new list's one track: a click plays it.
read -r x y w h < <(control FIListBox1)
xdotool mousemove --window "$win" $((x + 20)) $((y + 8)) click 1
wait_for 'solka: caption: v1$'
echo "PASS: F5 opens the list selection dialog and OK replaces the list"

# The sleep button's body opens the time dialog: the down arrow takes the hour to 0 whatever it
# was, then the up arrow three steps up, and "OK". Clicks that come before Wine takes them for the
# new window are lost; the same clicks again give the same hour.
click_control "$win" SleepButton 1
timed=$(wine_window '^時刻設定')
read -r x y w h < <(control TForm3.UpDown1)
set_three() {
  xdotool mousemove --window "$timed" $((x + w / 2)) $((y + h * 3 / 4)) click --repeat 25 --delay 60 1
  xdotool mousemove --window "$timed" $((x + w / 2)) $((y + h / 4)) click --repeat 3 --delay 60 1
  click_control "$timed" TForm3.BitBtn1 1
  poll 5 grep -q '^solka: sleep: 8 ' "$err"
}
for _ in 1 2 3 4 5; do set_three && break; done
wait_for 'solka: sleep: 8 .*( 3:'
click_control "$win" SleepButton 1
click_control "$(wine_window '^時刻設定')" TForm3.BitBtn2 1  # abort: no sleep is left armed
sleep_off() { [[ $(traced sleep) == "7 "* ]]; }
poll 20 sleep_off || fail "abort left the sleep armed"
echo "PASS: Return waits for a ticked row; the time dialog's arrows step within the range"

# Let go near the work area's left edge, the window lies on it: the position it saves is 0. (Wine
# tells the program of a move the window manager made afterwards, and keeps the X window where
# the manager put it; only the program's own rectangle snaps.)
xdotool windowmove --sync "$win" 6 200
# Clicks aimed by the program's rectangle miss by the snap from here on: only the exit button
# follows.
exit_by_button "$win"
# Shift-JIS as it was read (not UTF-8, no mark), every line ended by CR LF.
text=$(iconv -f CP932 -t UTF-8 "$ini") || fail "solka.ini is not Shift-JIS: $(od -c "$ini" | head)"
[[ $text == "[SETTING]"* ]] || fail "solka.ini does not begin with its section: $text"
[[ $(grep -c $'\r$' "$ini") == $(wc -l <"$ini") ]] || fail "solka.ini has lines without CR LF"
grep -qx "BaseFolder=$(winpath "$lib" | sed 's/\\/\\\\/g')"$'\r' <<<"$text" ||
  fail "solka.ini: $text"
grep -q "^0=$(winpath "$lib" | sed 's/\\/\\\\/g')" <<<"$text" || fail "no history in solka.ini"
echo "PASS: closing saves solka.ini beside the program, in Shift-JIS with CR LF"
[[ $(setting Left) == 0 ]] || fail "no snap: window position in solka.ini: $(setting Left)"
echo "PASS: a window moved near the screen's edge snaps onto it"
