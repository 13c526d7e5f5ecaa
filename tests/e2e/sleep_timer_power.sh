#!/usr/bin/env bash
# The sleep timer in the real program, with the wall clock set by libfaketime (time of day only;
# the monotonic clocks of the timers and the audio stay real). "30分後" chosen at 23:45 reads
# 0:15; when the clock shows 0:15, playback stops and the power action runs:
#   1. SOLKA_POWER=dry-run: "solka: power: power-off", then the program ends through its
#      shutdown sequence with its settings saved;
#   2. a fake login manager on a private bus: CanPowerOff, then PowerOff(false), then the end;
#   3. a fake that refuses suspend (SleepMode=1): the player stays open and stopped, with one
#      line on stderr; then F1 on this X server, which has no DPMS: one line, nothing else.
# Nothing here can reach the machine's own login manager: the runs that do not use the dry run
# get DBUS_SYSTEM_BUS_ADDRESS pointing at the private bus, and only once the fake is on it.
# Usage: sleep_timer_power.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
source "$(dirname "$0")/lib/desktop.sh"
e2e_prepare "$1"

faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
for need in Xvfb xdotool dbus-daemon dbus-send "$faketime_lib"; do
  command -v "$need" >/dev/null || [[ -e $need ]] || fail "missing: $need"
done
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || fail "missing: python3-dbusmock"

# The X server, the private bus and the fake: ended by their ids, the fake first.
fakes=()
x_server=
stop_fakes() {
  local p
  for p in "${fakes[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${fakes[@]}"; do timeout 5 tail --pid="$p" -f /dev/null 2>/dev/null || true; done
  fakes=()
}
trap 'e2e_cleanup; stop_fakes; [[ -z $x_server ]] || kill "$x_server" 2>/dev/null || true' EXIT

# A private X server: the window is shown and clicked there.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
x_server=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "the X server did not start"
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb

gst-launch-1.0 -q audiotestsrc num-buffers=20000 ! audio/x-raw,rate=44100,channels=2 ! \
  audioconvert ! wavenc ! filesink location="$work/music/long.wav" >/dev/null
clock="$work/clock"
ini="$work/bin/solka.ini"

# The program on one file (so its window is shown), its wall clock frozen at CLOCK.
start_at() {
  printf '%s\n' "$1" >"$clock"
  shift
  env "$@" LD_PRELOAD="$faketime_lib" FAKETIME_TIMESTAMP_FILE="$clock" FAKETIME_NO_CACHE=1 \
    DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0" \
    "$solka" "$work/music/long.wav" 2>"$err" >/dev/null &
  pid=$!
  wait_for "solka: caption: long"
}

visible_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }

# Chooses "30分後" in the sleep button's menu and waits for the armed button.
arm_thirty_minutes() {
  local w="" _
  for _ in $(seq 100); do
    w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) && [[ -n $w ]] && break
    sleep 0.1
  done
  [[ -n $w ]] || fail "no window"
  # The right button on the sleep button opens its menu.
  click_control "$w" SleepButton 3
  for _ in $(seq 100); do (($(visible_windows) >= 2)) && break; sleep 0.1; done
  xdotool key Down Return
  wait_for "solka: sleep: 8 スリープ設定中 ( $1 )"
}

# Waits up to 20 s for the program to end; its exit status.
wait_end() {
  timeout 20 tail --pid="$pid" -f /dev/null || fail "the program did not end"
  local status=0
  wait "$pid" || status=$?
  pid=
  return "$status"
}

# The private bus with a fake login manager (template parameters as JSON); sets $bus.
start_fake_logind() {
  bus="unix:path=$work/system_bus_socket"
  dbus-daemon --session --nofork --address="$bus" >/dev/null 2>&1 &
  fakes+=($!)
  DBUS_SYSTEM_BUS_ADDRESS="$bus" /usr/bin/python3 -m dbusmock --system --template logind \
    -l "$work/logind.log" -p "$1" >/dev/null 2>&1 &
  fakes=("$!" "${fakes[@]}")
  local _
  for _ in $(seq 200); do
    DBUS_SYSTEM_BUS_ADDRESS="$bus" dbus-send --system --print-reply --dest=org.freedesktop.DBus \
      /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.freedesktop.login1 \
      2>/dev/null | grep -q 'boolean true' && return 0
    sleep 0.1
  done
  fail "the fake login manager did not start"
}
logind_calls() { sed 's/^[0-9.]* //' "$work/logind.log" | grep -v '^ListInhibitors' || true; }

# Bus launchers started from this run (their environment holds its private folder): with no
# session bus, nothing may start one for the display (it would outlive the player, and under the
# faked clock its launch can hang the window).
display_buses() {
  local p
  for p in $(pgrep -x dbus-launch); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" &&
      echo "$p"
  done
  return 0
}

# --- 1. Dry run: power-off at the deadline, then the shutdown sequence.
printf '[SETTING]\r\nLeft=0\r\nTop=0\r\n' >"$ini"
start_at "2026-12-07 23:45:10" -u DBUS_SESSION_BUS_ADDRESS SOLKA_POWER=dry-run
arm_thirty_minutes 0:15
[[ -z $(display_buses) ]] || fail "a session bus was launched for the display"
printf '%s\n' "2026-12-08 00:15:02" >"$clock"
wait_end || fail "dry run: exit status $?"
grep -qx "solka: power: power-off" "$err" || fail "dry run: no power-off line"
before=$(sed -n '/^solka: power: power-off$/q; s/^solka: caption: //p' "$err" | tail -n1)
[[ $before != long ]] || fail "dry run: playback was not stopped first"
grep -q $'^JukeMode=' "$ini" || fail "dry run: settings not saved"

# --- 2. A fake login manager: asked first, then a polite power-off.
start_fake_logind '{}'
start_at "2026-12-07 10:35:00" -u SOLKA_POWER DBUS_SYSTEM_BUS_ADDRESS="$bus"
arm_thirty_minutes 11:5
printf '%s\n' "2026-12-07 11:05:00" >"$clock"
wait_end || fail "logind: exit status $?"
mapfile -t calls < <(logind_calls)
[[ "${calls[*]}" == 'Inhibit "idle" "SOLKA" "Playing music" "block" CanPowerOff PowerOff False' ]] ||
  fail "logind calls: ${calls[*]}"
stop_fakes

# --- 3. A fake that refuses suspend: the player stays open, stopped.
rm -f "$work/logind.log"
start_fake_logind '{"CanSuspend": "no"}'
printf '[SETTING]\r\nLeft=0\r\nTop=0\r\nSleepMode=1\r\n' >"$ini"
start_at "2026-12-07 23:10:00" -u SOLKA_POWER DBUS_SYSTEM_BUS_ADDRESS="$bus"
arm_thirty_minutes 23:40
printf '%s\n' "2026-12-07 23:40:30" >"$clock"
wait_for "solka: sleep: 7 スリープ設定$"
wait_for "solka: power: suspend refused"
holds 1 kill -0 "$pid" || fail "refused suspend: the program ended"
[[ $(grep -c '^solka: power:' "$err") == 1 ]] || fail "refused suspend: $(grep '^solka: power:' "$err")"
grep -qx 'solka: power: suspend refused: CanSuspend answered "no"' "$err" ||
  fail "refused suspend: $(grep '^solka: power:' "$err")"
[[ $(captions | tail -n1) != long ]] || fail "refused suspend: still playing"
[[ "$(logind_calls | tail -n1)" == CanSuspend ]] || fail "refused suspend: $(logind_calls)"

# --- The monitor (F1) on an X server without DPMS: nothing happens but one line.
xdotool windowfocus --sync "$(xdotool search --onlyvisible --pid "$pid" | head -n1)" key F1
wait_for "solka: power: monitor-off: the display server has no DPMS"
holds 1 eval '[[ $(grep -c "monitor-off\|Xlib" "$err") == 1 ]]' || fail "monitor: $(grep 'monitor-off\|Xlib' "$err")"
end_program
echo "PASS: the sleep timer stops playback and powers off (dry run, fake logind); a refused suspend leaves the player open"
