# Shared by the end-to-end scripts of the Windows program: solka.exe under Wine on the private
# desktop of lib/desktop.sh, in one prefix per build (tools/wine-desktop-prefix) with ALSA's
# null device as the sound card. The scripts share its wine server, so ctest runs them one at
# a time. Source it after lib/program.sh and lib/desktop.sh, then call
# wine_prepare PATH-TO-SOLKA.EXE.

wine_loader=/usr/lib/wine/wine64
[[ -x $wine_loader ]] || wine_loader=$(command -v wine64 || true)

# The prefix beside the build's CMakeCache.txt (SOLKA_E2E_WINEPREFIX chooses another).
wine_prepare() {
  [[ -n $wine_loader ]] || {
    echo "SKIP: wine64 is not installed" >&2
    exit 77
  }
  local exe dir
  exe=$(realpath "$1")
  dir=$(dirname "$exe")
  while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do dir=$(dirname "$dir"); done
  [[ $dir == / ]] && dir=$(dirname "$exe")
  export WINEPREFIX=${SOLKA_E2E_WINEPREFIX:-$dir/wineprefix-desktop}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export HOME="$WINEPREFIX/home"
  e2e_prepare "$exe"
  cp "$exe" "$work/bin/solka.exe"
  rm -f "$work/bin/solka"
  # start_program runs $solka: the program under Wine, keeping the process id.
  printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$wine_loader" "$work/bin/solka.exe" >"$work/bin/run"
  chmod +x "$work/bin/run"
  solka="$work/bin/run"
  ini="$work/bin/solka.ini"
  # No sound card: DirectShow plays to ALSA's null device and still reaches each track's end.
  mkdir -p "$HOME"
  printf 'pcm.!default { type null }\nctl.!default { type null }\n' >"$HOME/.asoundrc"
  DISPLAY= "$(dirname "${BASH_SOURCE[0]}")/../../../tools/wine-desktop-prefix" "$WINEPREFIX"
}

# desktop_start, and the prefix's programs ended with the desktop.
wine_desktop_start() {
  desktop_start "$@"
  trap 'e2e_cleanup; wine_stop; desktop_stop' EXIT
}

# Ends every program of this prefix (ours alone).
wine_stop() { wineserver -k 2>/dev/null || true; }

# WIN: a click on the window's exit button ends the program normally within 30 s.
exit_by_button() {
  local status=0
  click_control "$1" ToolButton11 1
  timeout 30 tail --pid="$pid" -f /dev/null || fail "the exit button did not end the program"
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || fail "exit status $status"
}

# A Unix path as the Windows program sees it (drive Z: is the root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The first shown window of the program whose title matches, within 20 s.
wine_window() { titled_window "$1"; }

# Succeeds when no shown window has the title.
no_window_titled() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# A click on the program's icon in the notification area: the window Wine embeds in trayer.
click_wine_tray() {
  local x y w h
  poll 20 wine_tray_icon || fail "no icon in the notification area"
  read -r x y w h < <(wine_tray_icon)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "$1"
}
wine_tray_icon() {
  local t
  for t in $(xdotool search --class '^trayer$' 2>/dev/null); do
    # Lines "0x... (has no name): ()  20x22+27+1  +1003+745": size, then the absolute place.
    xwininfo -children -id "$t" | awk '$1 ~ /^0x/ && $(NF-1) ~ /^[0-9]+x[0-9]+/ {
        split($(NF-1), s, /[x+]/); split($NF, p, "+")
        if (s[1] > 4 && s[2] > 4) {print p[2], p[3], s[1], s[2]; ok=1; exit}}
      END {exit !ok}' && return 0
  done
  return 1
}
