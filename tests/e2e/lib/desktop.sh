# Shared by the end-to-end scripts that need a real desktop: a private X server (Xvfb on a free
# display) with a window manager (openbox), and on request a notification area (trayer) or a
# task bar (tint2); helpers that read the main window's state as the window manager reports it
# and drive the pointer and keys. Source it after lib/program.sh and e2e_prepare, then call
# desktop_start [tray] [taskbar].
# Every wait is bounded; every process started here is ended by its own id.

desktop_pids=()

# Skips the script (exit 77, counted as skipped by ctest) when a desktop tool is missing.
desktop_require() {
  local tool
  for tool in Xvfb openbox xdotool xprop xwininfo wmctrl "$@"; do
    command -v "$tool" >/dev/null || {
      echo "SKIP: $tool is not installed" >&2
      exit 77
    }
  done
}

desktop_stop() {
  local p
  for p in "${desktop_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${desktop_pids[@]}"; do timeout 5 tail --pid="$p" -f /dev/null 2>/dev/null || true; done
  desktop_pids=()
}

# Polls the command every 0.1 s for up to SECONDS; false when it never succeeded.
poll() {
  local seconds=$1 _
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

root_has() { xprop -root "$1" 2>/dev/null | grep -q "$2"; }
window_named() { xdotool search --name "$1" >/dev/null 2>&1; }

# ARGS: tray and/or taskbar.
desktop_start() {
  local want display_file
  for want in "$@"; do
    case $want in
      tray) desktop_require trayer ;;
      taskbar | panel) desktop_require tint2 ;;
    esac
  done
  desktop_require
  display_file="$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" \
    >"$work/xvfb.log" 2>&1 &
  desktop_pids+=($!)
  poll 10 test -s "$display_file" || fail "the X server did not start"
  export DISPLAY=":$(head -n1 "$display_file")"
  export QT_QPA_PLATFORM=xcb
  trap 'e2e_cleanup; desktop_stop' EXIT
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  desktop_pids+=($!)
  poll 20 root_has _NET_SUPPORTING_WM_CHECK 'window id' ||
    fail "the window manager did not start: $(cat "$work/openbox.log")"
  for want in "$@"; do
    case $want in
      tray)
        trayer --edge bottom --align right --widthtype pixel --width 48 --height 24 \
          --SetDockType true --transparent false >"$work/trayer.log" 2>&1 &
        desktop_pids+=($!)
        poll 60 tray_area || fail "the notification area did not start: $(cat "$work/trayer.log")"
        ;;
      taskbar | panel)
        # taskbar: task buttons only, nothing that changes by itself (no clock); panel: a task
        # bar with a notification area, as a desktop has.
        local items=T
        [[ $want == panel ]] && items=TS
        printf '%s\n' 'rounded = 0' 'border_width = 0' 'background_color = #d8d8d8 100' \
          'border_color = #d8d8d8 100' 'rounded = 2' 'border_width = 1' \
          'background_color = #f4f4f4 100' 'border_color = #a0a0a0 100' \
          "panel_items = $items" 'panel_size = 100% 30' \
          'panel_position = bottom center horizontal' 'panel_background_id = 1' \
          'task_background_id = 2' 'task_active_background_id = 2' \
          'task_font_color = #202020 100' 'task_active_font_color = #000000 100' \
          'taskbar_mode = single_desktop' 'task_text = 1' 'task_icon = 1' \
          'task_maximum_size = 160 24' 'autohide = 0' 'strut_policy = follow_size' \
          'systray_padding = 4 2 4' 'systray_icon_size = 22' >"$work/tint2rc"
        tint2 -c "$work/tint2rc" >"$work/tint2.log" 2>&1 &
        desktop_pids+=($!)
        poll 20 window_named '^tint2$' || fail "the task bar did not start: $(cat "$work/tint2.log")"
        ;;
    esac
  done
}

# The notification area's rectangle: X Y WIDTH HEIGHT.
tray_area() {
  local w
  for w in $(xdotool search --class '^trayer$' 2>/dev/null); do
    xwininfo -id "$w" | awk '/Map State: IsViewable/ {v=1} /Absolute upper-left X/ {x=$NF}
      /Absolute upper-left Y/ {y=$NF} /Width:/ {wd=$NF} /Height:/ {h=$NF}
      END {if (v && wd > 10) {print x, y, wd, h; ok=1}; exit !ok}' && return 0
  done
  return 1
}

# The program's main window (role TDODEDEV), printed as an id.
find_main_window() {
  local w
  for w in $(xdotool search --pid "$pid" 2>/dev/null); do
    xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"TDODEDEV"' && {
      echo "$w"
      return 0
    }
  done
  return 1
}

main_window() {
  poll 20 find_main_window >/dev/null || fail "no main window"
  find_main_window
}

# TITLE: the ids of the shown windows whose title matches; fails on an X error (a window that
# went away while it was read), which is no answer either way.
windows_titled() {
  xdotool search --onlyvisible --name "$1" 2>"$work/xdotool.err" || true
  ! grep -q 'X Error' "$work/xdotool.err"
}
window_gone() { local ids && ids=$(windows_titled "$1") && [[ -z $ids ]]; }

# TITLE: the id of the first shown window whose title matches, within 20 s.
titled_window() {
  local _ w
  for _ in $(seq 200); do
    w=$(windows_titled "$1" | head -n1) && [[ -n $w ]] && {
      echo "$w"
      return 0
    }
    kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for '$1'"
    sleep 0.1
  done
  fail "no window '$1'"
}

# What the window manager says of the window, for failure messages.
describe() { echo "WM_STATE $(wm_state "$1"), $(map_state "$1"), _NET_WM_STATE: $(net_state "$1")"; }

# WM_STATE of the window: Normal, Iconic or Withdrawn (none).
wm_state() {
  local s
  s=$(xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')
  echo "${s:-Withdrawn}"
}

# The window's _NET_WM_STATE atoms, one line.
net_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | sed -n 's/^_NET_WM_STATE(ATOM) = //p'; }

map_state() { xwininfo -id "$1" | sed -n 's/.*Map State: //p'; }

# The outer (frame) position: the client's position less its place inside the frame.
frame_position() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {ax=$NF} /Absolute upper-left Y/ {ay=$NF}
    /Relative upper-left X/ {rx=$NF} /Relative upper-left Y/ {ry=$NF}
    END {print ax - rx, ay - ry}'
}

# Succeeds when the window is shown normally (mapped, not minimised) and shown is what the
# window manager reports.
is_shown() {
  [[ $(wm_state "$1") == Normal && $(map_state "$1") == IsViewable ]] &&
    ! net_state "$1" | grep -q _NET_WM_STATE_HIDDEN
}
is_iconic() { [[ $(wm_state "$1") == Iconic ]]; }
is_withdrawn() { [[ $(wm_state "$1") == Withdrawn && $(map_state "$1") == IsUnMapped ]]; }
skips_taskbar() { net_state "$1" | grep -q _NET_WM_STATE_SKIP_TASKBAR; }

# NAME: the control's rectangle in the client area, from the program's trace: X Y W H.
control() {
  wait_for "solka: control: $1 "
  sed -n "s/^solka: control: $1 //p" "${ERR:-$err}" | tail -n1
}

# WINDOW NAME BUTTON [REPEAT]: clicks the middle of a control.
click_control() {
  local x y w h
  read -r x y w h < <(control "$2")
  xdotool mousemove --window "$1" $((x + w / 2)) $((y + h / 2)) click --repeat "${4:-1}" --delay 60 "$3"
}

# The program's icon in the notification area (a small window of the program, embedded in the
# area): X Y WIDTH HEIGHT.
tray_icon() {
  local w
  for w in $(xdotool search --pid "$pid" 2>/dev/null); do
    xwininfo -id "$w" | awk '/Map State: IsViewable/ {v=1} /Absolute upper-left X/ {x=$NF}
      /Absolute upper-left Y/ {y=$NF} /Width:/ {wd=$NF} /Height:/ {h=$NF}
      END {if (v && wd <= 64 && h <= 64 && wd > 4) {print x, y, wd, h; ok=1}; exit !ok}' &&
      return 0
  done
  return 1
}

# BUTTON [REPEAT]: clicks the program's icon in the notification area.
click_tray() {
  local x y w h
  poll 20 tray_icon || fail "no icon in the notification area"
  read -r x y w h < <(tray_icon)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click --repeat "${2:-1}" --delay 60 "$1"
}

# The value of a [SETTING] key in the settings file.
setting() { sed -n "s/^$1=\\(.*\\)\\r\$/\\1/p" "$ini"; }
