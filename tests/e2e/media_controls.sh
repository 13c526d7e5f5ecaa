#!/usr/bin/env bash
# The real program on a private session bus, driven as the desktop's media controls drive it:
# what plays (with the stream's tags), pause, next, seek, volume, open, stop and quit; and without a
# bus, or with buses that never answer, it plays as before; a bus that stops answering never holds
# its exit.
#   media_controls.sh PATH-TO-SOLKA
set -euo pipefail
[[ -n ${SOLKA_E2E_TRACE:-} ]] && set -x
if [[ -z ${SOLKA_E2E_PRIVATE_BUS:-} ]]; then
  exec env SOLKA_E2E_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
# Tracks long enough that none ends while the test looks at it.
for name in track1 track2 track3; do
  gst-launch-1.0 -q audiotestsrc samplesperbuffer=8000 num-buffers=90 ! \
    audio/x-raw,rate=8000,channels=1 ! taginject tags="title=Song-$name,artist=Someone" ! \
    wavenc ! filesink location="$work/music/$name.wav" >/dev/null
done
printf '[SETTING]\r\nSort=1\r\n' >"$work/bin/solka.ini"

dest=org.mpris.MediaPlayer2.solka
object=/org/mpris/MediaPlayer2
player=org.mpris.MediaPlayer2.Player
call() { dbus-send --session --print-reply --dest=$dest $object "$@"; }
get() { call org.freedesktop.DBus.Properties.Get string:"$1" string:"$2"; }
status() { get $player PlaybackStatus 2>/dev/null | sed -n 's/.*string "\(.*\)"$/\1/p'; }
wait_status() {
  for _ in $(seq 200); do
    [[ $(status) == "$1" ]] && return 0
    sleep 0.1
  done
  fail "playback status is '$(status)', not $1"
}
# PATTERN [FROM-LINE]: waits for a line of the bus signals seen so far matching the pattern.
wait_signal() {
  for _ in $(seq 200); do
    tail -n +"${2:-1}" "$work/signals" | grep -q -- "$1" && return 0
    sleep 0.1
  done
  fail "no signal with '$1'; signals: $(cat "$work/signals")"
}

dbus-monitor --session "type='signal',path='$object'" >"$work/signals" 2>/dev/null &
monitor=$!
trap 'kill $monitor 2>/dev/null || true; e2e_cleanup' EXIT

start_program "$work/music"
wait_for '^solka: caption: track1$'
wait_status Playing
# What plays, named by its tags (the window keeps the file's name).
meta=$(get $player Metadata)
grep -q 'string "Song-track1"' <<<"$meta" || fail "title: $meta"
grep -A3 'xesam:artist' <<<"$meta" | grep -q 'string "Someone"' || fail "artist: $meta"
get $player CanSeek | grep -q 'boolean true$' || fail "cannot seek"
grep -q "string \"file://$work/music/track1.wav\"" <<<"$meta" || fail "url: $meta"
length=$(grep -A1 'mpris:length' <<<"$meta" | sed -n 's/.*int64 \([0-9]*\).*/\1/p')
((length > 89000000 && length < 91000000)) || fail "length: $length"

call $player.Pause >/dev/null
wait_status Paused
wait_for '^solka: caption: \[Pause\] track1$'

# Next: the caption moves on, the pause stays, and the bus hears of the new track.
call $player.Next >/dev/null
wait_for '^solka: caption: \[Pause\] track2$'
wait_status Paused
wait_signal 'string "Song-track2"'
call $player.Play >/dev/null
wait_status Playing

# A seek to a position of the current track.
track=$(get $player Metadata | sed -n 's/.*object path "\(.*\)"$/\1/p')
call $player.SetPosition objpath:"$track" int64:60000000 >/dev/null
wait_signal 'member=Seeked'
position=$(get $player Position | sed -n 's/.*int64 \([0-9]*\).*/\1/p')
((position >= 60000000 && position < 80000000)) || fail "position after the seek: $position"

# The desktop's half is the cube root of the gain: about -18 dB, 81 on the window's label.
call org.freedesktop.DBus.Properties.Set string:$player string:Volume variant:double:0.5 >/dev/null
wait_for '^solka: label3: 81$'
get $player Volume | grep -Eq 'double 0\.500[0-9]*$' || fail "volume: $(get $player Volume)"

# A file opened from the desktop plays as if handed to a second start: its folder's list, from it.
call $player.OpenUri string:"file://$work/music/track3.wav" >/dev/null
wait_for '^solka: caption: track3$'
wait_status Playing
# While the window is hidden nothing polls the player; what changes without the bus (a later
# start's skip to the next track) still reaches it.
seen=$(wc -l <"$work/signals")
"$solka" ZZZ_NEXT_PLAY 2>/dev/null || true
wait_signal "music/track1.wav" $((seen + 1))
# A name that is not UTF-8 travels as its own bytes both ways; a relative path is refused.
mkdir "$work/other"
cp "$work/music/track3.wav" "$work/other/odd"$'\xff\xfe'".wav"
! call $player.OpenUri string:"file:other/odd%FF%FE.wav" >/dev/null 2>&1 || fail "relative path"
call $player.OpenUri string:"file://$work/other/odd%FF%FE.wav" >/dev/null
wait_for '^solka: caption: odd'
get $player Metadata | grep -q "\"file://$work/other/odd%FF%FE.wav\"" || fail "url of odd name"

call $player.Stop >/dev/null
wait_status Stopped
wait_for "^solka: caption: $designed\$"
get $player Metadata | grep -q 'TrackList/NoTrack' || fail "metadata when stopped"
# A track the player starts by itself (handed over by a later start) is what the bus reads at once.
"$solka" "$work/music/track1.wav" 2>/dev/null || true
get $player Metadata | grep -q 'string "Song-track1"' || fail "metadata after a hand-over"

# Quit closes the program the normal way, which stores the volume it was given.
call org.mpris.MediaPlayer2.Quit >/dev/null
timeout 30 tail --pid="$pid" -f /dev/null || fail "Quit did not end the program"
wait "$pid" || fail "exit status $? after Quit"
pid=
grep -q $'^Volume=-1806\r$' "$work/bin/solka.ini" || fail "volume not stored"

# A session bus that stops answering while the player runs (its daemon stopped) does not hold
# the exit: SIGTERM ends the program long before the bus's own call time-out, settings saved.
daemon=$(pgrep -P "$PPID" -x dbus-daemon)
rm "$work/bin/solka.ini"
ERR="$work/err-stopped" start_program "$work/music"
ERR="$work/err-stopped" wait_for '^solka: caption: track1$'
wait_status Playing
kill -STOP "$daemon"
kill -TERM "$pid"
ended=0
timeout 10 tail --pid="$pid" -f /dev/null || ended=$?
kill -CONT "$daemon"
[[ $ended -eq 0 ]] || fail "SIGTERM with the session bus stopped did not end the program"
wait "$pid" || fail "exit status $? with the session bus stopped"
pid=
[[ -f $work/bin/solka.ini ]] || fail "settings not saved with the session bus stopped"

# Without a session bus, and with buses that accept and never answer (wedged bus daemons; the
# system bus is where the idle lock is asked for), the program plays as before and a SIGTERM
# ends it with its settings saved. On a real display, where the toolkit uses the session bus too.
source "$(dirname "$0")/lib/desktop.sh"
desktop_start
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(64); time.sleep(900)' \
  "$work/silent" &
silent=$!
trap 'kill $monitor $silent 2>/dev/null || true; e2e_cleanup; desktop_stop' EXIT
for _ in $(seq 100); do [[ -S $work/silent ]] && break || sleep 0.1; done
for bus in no-bus silent; do
  rm "$work/bin/solka.ini"
  SOLKA_POWER= DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/$bus" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/$bus" ERR="$work/err-$bus" start_program "$work/music"
  ERR="$work/err-$bus" wait_for '^solka: caption: track1$'
  end_program
  [[ -f $work/bin/solka.ini ]] || fail "$bus: settings not saved"
done
echo "PASS: the desktop's media controls see and drive the player; no bus, no change"
