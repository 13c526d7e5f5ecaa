#!/usr/bin/env bash
# The installer under Wine: a silent install (/S) puts solka.exe into Program Files with its
# Start-menu entry and "Open with" registration; the installed program plays a file from its
# folder and saves its settings; a silent uninstall removes all of it but the settings.
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
setup="$work/solka-setup-$version.exe"
makensis -V2 -DVERSION="$version" -DEXE="$work/bin/solka.exe" -DREADME="$root/README.md" \
  -DICON="$root/platform/win32/gui/res/icon-0.ico" -DOUTFILE="$setup" \
  "$root/dist/windows/solka.nsi" >"$work/makensis.log" || fail "makensis: $(cat "$work/makensis.log")"
mkdir -p "$work/music/a"
tone a/t1.wav wavenc
tone a/t2.wav wavenc
wine_desktop_start

installed="$WINEPREFIX/drive_c/Program Files/SOLKA"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\SOLKA'
registered() { "$wine_loader" reg query "$1" >/dev/null 2>&1; }
# Left from an earlier run that failed half-way.
[[ -x $installed/uninstall.exe ]] && "$wine_loader" "$installed/uninstall.exe" /S
poll 30 test ! -e "$installed/solka.exe" || fail "an earlier install could not be removed"

"$wine_loader" "$setup" /S || fail "the installer failed"
[[ -f $installed/solka.exe && -f $installed/README.txt && -f $installed/uninstall.exe ]] ||
  fail "installed: $(ls "$installed" 2>&1)"
[[ -f $WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/SOLKA.lnk ]] ||
  fail "no Start-menu entry"
registered "$key" || fail "no uninstall entry"
registered 'HKLM\Software\Classes\.mp3\OpenWithProgids' || fail "no Open with for .mp3"
registered 'HKLM\Software\Classes\.m3u8\OpenWithProgids' || fail "no Open with for .m3u8"
registered 'HKLM\Software\Classes\Directory\shell\SOLKA\command' || fail "no Open with for folders"
echo "PASS: a silent install puts the program, its menu entry and its registration in place"

# A file from the shell: the installed program shows its window and plays that file once.
printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$wine_loader" "$installed/solka.exe" >"$work/bin/run"
start_program "$(winpath "$work/music/a/t1.wav")"
wait_for 'solka: caption: t1$'
win=$(wine_window '^t1$')
# The first click on a window that has just appeared waits until it is the active one.
timeout 30 xdotool windowactivate --sync "$win" || fail "the window could not be activated"
exit_by_button "$win"
settings=$(find "$installed" "$WINEPREFIX/drive_c/users" -name solka.ini 2>/dev/null | head -n1)
[[ -n $settings ]] || fail "no settings file after the run"
echo "PASS: the installed program plays a file and saves its settings"

"$wine_loader" "$installed/uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself.
poll 30 test ! -e "$installed/uninstall.exe" || fail "the uninstaller left its files"
[[ ! -e $installed/solka.exe ]] || fail "solka.exe is still installed"
! registered "$key" || fail "the uninstall entry is still there"
! registered 'HKLM\Software\Classes\Directory\shell\SOLKA' || fail "the folder verb is still there"
[[ -f $settings ]] || fail "the uninstaller removed the user's settings"
rm -f "$settings"
echo "PASS: a silent uninstall removes everything but the user's settings"
