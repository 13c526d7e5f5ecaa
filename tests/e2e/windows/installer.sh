#!/usr/bin/env bash
# The installer under Wine: a silent install (/S) of an older build, then of this one over it
# while the older player runs (the player is closed, saving its settings, and the settings and
# associations stay); the installed program keeps its settings and its log in %APPDATA%, a Send
# To shortcut hands a folder to the running player, and a silent uninstall while the player
# runs closes it and removes all but the settings. Files that cannot be replaced or removed
# fail the installer and the uninstaller instead of being reported as done.
# Usage: installer.sh PATH-TO-SOLKA.EXE
set -euo pipefail
here=$(dirname "$0")
source "$here/../lib/program.sh"
source "$here/../lib/desktop.sh"
source "$here/../lib/wine.sh"
command -v makensis >/dev/null || {
  echo "SKIP: makensis is not installed" >&2
  exit 77
}
wine_prepare "$1"
root=$(cd "$here/../../.." && pwd)
version=$(sed -n 's/^project(solka VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
package() {
  makensis -V2 -DVERSION="$1" -DEXE="$work/bin/solka.exe" -DREADME="$root/dist/windows/README.txt" \
    -DICON="$root/platform/win32/gui/res/icon-0.ico" -DOUTFILE="$2" \
    "$root/dist/windows/solka.nsi" >"$work/makensis.log" || fail "makensis: $(cat "$work/makensis.log")"
}
setup="$work/solka-setup-$version.exe"
package "$version" "$setup"
package 0.9.0 "$work/solka-setup-0.9.0.exe"
mkdir -p "$work/music/a" "$work/music/b"
for name in t1 t2; do tone "a/$name.wav" wavenc; done
head -c 4096 /dev/urandom >"$work/music/b/broken.wav"
wine_desktop_start

installed="$WINEPREFIX/drive_c/Program Files/SOLKA"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\SOLKA'
registered() { "$wine_loader" reg query "$1" >/dev/null 2>&1; }
appdata_win=$("$wine_loader" cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
appdata=$("$wine_loader" winepath -u "$appdata_win" 2>/dev/null)
settings="$appdata/solka/solka.ini"
sendto="$appdata/Microsoft/Windows/SendTo"
# Left from an earlier run that failed half-way.
[[ -x $installed/uninstall.exe ]] && "$wine_loader" "$installed/uninstall.exe" /S
poll 30 test ! -e "$installed/solka.exe" || fail "an earlier install could not be removed"
rm -rf "$appdata/solka" "$installed"

"$wine_loader" "$work/solka-setup-0.9.0.exe" /S || fail "the older installer failed"
[[ -f $installed/solka.exe && -f $installed/README.txt && -f $installed/uninstall.exe ]] ||
  fail "installed: $(ls "$installed" 2>&1)"
grep -q '^■ 設定の置き場所' "$installed/README.txt" || fail "the installed read-me is not the Windows one"
[[ -f $WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/SOLKA.lnk ]] ||
  fail "no Start-menu entry"
registered "$key" || fail "no uninstall entry"
registered 'HKLM\Software\Classes\.mp3\OpenWithProgids' || fail "no Open with for .mp3"
registered 'HKLM\Software\Classes\.m3u8\OpenWithProgids' || fail "no Open with for .m3u8"
registered 'HKLM\Software\Classes\Directory\shell\SOLKA\command' || fail "no Open with for folders"
[[ -f $sendto/SOLKA.lnk ]] || fail "no Send To entry in '$sendto'"
echo "PASS: a silent install puts the program, its menu entry and its registration in place"

# The older player, with a file it cannot play: the reason goes to stderr and to the log.
printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$wine_loader" "$installed/solka.exe" >"$work/bin/run"
start_program "$(winpath "$work/music/b/broken.wav")"
wait_for 'solka: cannot play .*broken.wav'
"$wine_loader" "$setup" /S || fail "the installer failed over a running player"
timeout 30 tail --pid="$pid" -f /dev/null || fail "the installer left the player running"
wait "$pid" || fail "the player closed by the installer ended with status $?"
pid=
[[ -f $settings && ! -e $installed/solka.ini ]] ||
  fail "settings not in %APPDATA%: $(find "$WINEPREFIX/drive_c" -name solka.ini)"
grep -q '^solka: cannot play .*broken.wav' "$appdata/solka/solka.log" || fail "nothing in solka.log"
"$wine_loader" reg query "$key" /v DisplayVersion | grep -q "$version" &&
  registered 'HKLM\Software\Classes\.mp3\OpenWithProgids' || fail "not this version's registration"
echo "PASS: installing over a running older version closes it, its settings and log in %APPDATA%"

# Send To hands a folder to the running player, the way the shell hands the selection over.
sed -i 's/^JukeMode=.*/JukeMode=3\r/' "$settings"
start_program
wait_for "solka: caption: $designed"
"$wine_loader" start /wait "$appdata_win\Microsoft\Windows\SendTo\SOLKA.lnk" "$(winpath "$work/music/a")" ||
  fail "the Send To shortcut could not be started"
wait_for 'solka: caption: t[12]$'
saved=$(stat -c %y "$settings")
echo "PASS: the Send To entry hands a folder to the running player"

# Uninstalling in place (so that its exit status is seen) while the player runs: a player that
# hangs (stopped) fails it with everything kept; then it closes the player and goes. NSIS
# takes "_?=" only unquoted, which a command line built from arguments never is.
printf '@"C:\\Program Files\\SOLKA\\uninstall.exe" /S _?=C:\\Program Files\\SOLKA\r\n@exit /b %%ERRORLEVEL%%\r\n' \
  >"$work/uninstall.cmd"
uninstall_in_place() { "$wine_loader" cmd /c "$(winpath "$work/uninstall.cmd")"; }
kill -STOP "$pid"
uninstall_in_place && fail "the uninstaller reported success with the player still running"
kill -CONT "$pid"
[[ -f $installed/solka.exe ]] && registered "$key" || fail "a failed uninstall removed files"
uninstall_in_place || fail "the uninstaller failed"
timeout 30 tail --pid="$pid" -f /dev/null || fail "the uninstaller left the player running"
wait "$pid" || fail "the player closed by the uninstaller ended with status $?"
pid=
# Run in place, the uninstaller leaves itself alone.
rm -f "$installed/uninstall.exe"
rmdir "$installed" || fail "the uninstaller left $(ls "$installed")"
[[ ! -e $sendto/SOLKA.lnk ]] || fail "the Send To entry is still there"
! registered "$key" || fail "the uninstall entry is still there"
! registered 'HKLM\Software\Classes\Directory\shell\SOLKA' || fail "the folder verb is still there"
[[ $(stat -c %y "$settings") != "$saved" ]] || fail "the player did not save its settings"
grep -q '^JukeMode=3' "$settings" || fail "the uninstaller changed the user's settings"
echo "PASS: a silent uninstall while the player runs closes it and removes everything but the settings"

# A player the installer cannot reach (on another desktop, as in another user's session) keeps
# its program in use: the installer and the uninstaller fail and keep the entry, and one run
# where that player is closes it and goes.
"$wine_loader" "$setup" /S || fail "the installer failed"
other_desktop() { "$wine_loader" explorer /desktop=other,640x480 "$@" >>"$work/other.err" 2>&1; }
other_desktop 'C:\Program Files\SOLKA\solka.exe' "$(winpath "$work/music/b/broken.wav")" &
other=$!
ERR="$work/other.err" pid=$other wait_for 'solka: cannot play .*broken.wav'
"$wine_loader" "$setup" /S && fail "the installer reported success with its program in use"
uninstall_in_place && fail "the uninstaller reported success with its program in use"
[[ -f $installed/solka.exe ]] && registered "$key" || fail "a failed uninstall removed its program"
other_desktop 'C:\Program Files\SOLKA\uninstall.exe' /S &
poll 60 test ! -e "$installed/uninstall.exe" || fail "the uninstaller did not close the other player"
[[ ! -e $installed/solka.exe ]] && ! registered "$key" || fail "the uninstall did not finish"
timeout 30 tail --pid="$other" -f /dev/null || kill "$other"
rm -rf "$appdata/solka"
echo "PASS: a player out of reach fails the installer and the uninstaller instead of files left"
