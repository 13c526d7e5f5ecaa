#!/usr/bin/env bash
# The real program as one player: of twenty simultaneous starts one plays and the others hand
# their argument over and exit 1; later starts (from a terminal or through the desktop entry)
# skip a track, replace the list, or only bring the player forward; hostile connections, options
# and missing paths leave it playing; refusals say why; a flood of hand-overs opens one box;
# after kill -9 the next start plays; a player whose window thread is held is handed over to,
# never doubled; a stranger that holds the lock is taken over. The program started is a front
# that loads no GUI: alone (no player program, no display) it answers options and hands over,
# and with no player to reach it says that it cannot start one; installed, it finds the player
# program under lib/, which keeps its settings beside the front.
# Usage: single_instance.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
# Thirty seconds each, so that a track plays on while the checks run.
long_tone() {
  gst-launch-1.0 -q audiotestsrc num-buffers=300 samplesperbuffer=800 ! \
    audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$work/music/$1"
}
mkdir -p "$work/music/a" "$work/music/Vol. 2"
for name in a/t1 a/t2 a/t3 "Vol. 2/u1"; do long_tone "$name.wav"; done
printf '[SETTING]\r\nSort=1\r\n' >"$work/bin/solka.ini"
sock="$XDG_RUNTIME_DIR/solka/TDODEDEV"

last_caption() { captions | tail -n 1; }
# Waits up to 30 s for the player's caption to become $1.
wait_caption() {
  local _
  for _ in $(seq 300); do
    [[ $(last_caption) == "$1" ]] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the player ended while waiting for '$1'"
    sleep 0.1
  done
  fail "caption '$(last_caption)', expected '$1'"
}
# A second start: must exit 1 at once.
second_start() {
  local status=0
  timeout 60 "$solka" "$@" 2>>"$work/second.err" >/dev/null || status=$?
  [[ $status -eq 1 ]] || fail "second start '$*' exit status $status"
}

# Twenty at once.
pids=()
for i in $(seq 20); do
  "$solka" "$work/music/a" 2>"$work/err.$i" >/dev/null &
  pids+=("$!")
done
for _ in $(seq 600); do
  alive=0
  for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && alive=$((alive + 1)); done
  [[ $alive -le 1 ]] && break
  sleep 0.1
done
players=()
for i in $(seq 20); do
  p=${pids[$((i - 1))]}
  if kill -0 "$p" 2>/dev/null; then
    players+=("$p")
    pid=$p
    err="$work/err.$i"
  else
    status=0
    wait "$p" || status=$?
    [[ $status -eq 1 ]] || fail "start $i ended with status $status ($(cat "$work/err.$i"))"
  fi
done
[[ ${#players[@]} -eq 1 ]] || fail "${#players[@]} players out of twenty starts"
wait_caption t1
echo "PASS: twenty starts, one player, nineteen exit 1"

# Hostile connections: one that says nothing, garbage, and a 1 GiB length.
socat -u "UNIX-CONNECT:$sock" - >/dev/null 2>&1 &
silent=$!
printf 'hello garbage\n' | socat -u - "UNIX-CONNECT:$sock" || true
{ printf '\001\000\000\000\000\000\000\100'; head -c 10000000 /dev/zero; } |
  socat -u - "UNIX-CONNECT:$sock" 2>/dev/null || true
# The player still plays and still answers while the silent one is connected.
[[ $(last_caption) == t1 ]] || fail "caption after hostile connections: '$(last_caption)'"
second_start ZZZ_NEXT_PLAY
wait_caption t2
# The silent one is let go of in the end.
timeout 30 tail --pid="$silent" -f /dev/null || fail "the silent connection is still open"
echo "PASS: hostile connections leave the player playing; the command word skips a track"

# A relative folder means the sender's folder, whatever its name; only the first argument counts.
(cd "$work/music" && second_start "Vol. 2" "$work/music/a")
wait_caption u1
# The desktop entry's command for one file, as a file manager runs it.
exec_line=$(sed -n 's/^Exec=//p' "$(dirname "$0")/../../dist/solka.desktop.in")
exec_line=${exec_line/@SOLKA_PROGRAM@/$work/bin/solka}
read -ra opener <<<"${exec_line/\%f/$work/music/a/t3.wav}"
status=0
timeout 60 "${opener[@]}" 2>>"$work/second.err" || status=$?
[[ $status -eq 1 ]] || fail "opening through the desktop entry: exit status $status"
wait_caption t3
# No argument: nothing changes but the window's place in front.
second_start
holds 1 eval '[[ $(last_caption) == t3 ]]' || fail "a start without argument changed the player: '$(last_caption)'"
echo "PASS: a relative folder and a file opened through the desktop entry play in the player"

# A UTF-8 list with an Opus track.
gst-launch-1.0 -q audiotestsrc num-buffers=300 samplesperbuffer=800 ! \
  audio/x-raw,rate=8000,channels=1 ! opusenc ! oggmux ! filesink location="$work/music/x1.opus"
printf '#EXTM3U\nx1.opus\na/t1.wav\n' >"$work/music/list.m3u8"
second_start "$work/music/list.m3u8"
wait_caption x1
echo "PASS: a .m3u8 list plays its .opus track"

# Texts too long to hand over are refused, and the sender says why.
second_start "/$(head -c 5000 /dev/zero | tr '\0' x)"
grep -q "refused the argument: 5001 bytes is longer than any path" "$work/second.err" ||
  fail "no reason for a refused text: $(tail -n 1 "$work/second.err")"

# Options are answered by the new start alone, and a path that does not exist is refused: the
# player plays on.
out=$(timeout 60 "$solka" --help) || fail "--help: exit status $?"
[[ $out == Usage:* ]] || fail "--help printed '$out'"
[[ $(timeout 60 "$solka" -V) == "$idle" ]] || fail "-V did not print '$idle'"
status=0
timeout 60 "$solka" --bogus 2>"$work/option.err" >/dev/null || status=$?
[[ $status -eq 2 && $(wc -l <"$work/option.err") -eq 1 ]] ||
  fail "--bogus: status $status, '$(cat "$work/option.err")'"
# The front alone, without the player program and without a display, answers and hands over.
mkdir "$work/lone"
cp "$solka" "$work/lone/solka"
[[ $(DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=xcb timeout 60 "$work/lone/solka" -V) == "$idle" ]] ||
  fail "-V of the front alone, without a display"
solka="$work/lone/solka" second_start "$work/music/a"
wait_caption t1
second_start "$work/music/list.m3u8"
wait_caption x1
second_start "$work/music/a/typo.wav"
grep -q "refused the argument: \"$work/music/a/typo.wav\" does not exist" "$work/second.err" ||
  fail "no reason for a missing path: $(tail -n 1 "$work/second.err")"
# Still the handed-over list's music (its Opus track, or the next one when that has ended).
holds 1 eval '[[ $(last_caption) == x1 || $(last_caption) == t1 ]]' ||
  fail "options or a missing path changed the player: '$(last_caption)'"

# A flood of hand-overs of a list that cannot be read: each answered at once, one box, no
# descriptor kept.
mkfifo "$work/pipe.m3u"
fds() { ls "/proc/$pid/fd" | wc -l; }
before=$(fds)
python3 - "$sock" 300 "$work/pipe.m3u" <<'PY' || fail "a hand-over was not answered"
import socket, struct, sys
path, count, text = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode()
for _ in range(count):
    with socket.socket(socket.AF_UNIX) as peer:
        peer.connect(path)
        peer.sendall(struct.pack("<II", 1, len(text)) + text)
        assert peer.recv(4) == b"\0\0\0\0"
PY
for _ in $(seq 100); do [[ $(fds) -le $before ]] && break; sleep 0.1; done
[[ $(fds) -le $before ]] || fail "descriptors $before before the flood, $(fds) after"
[[ $(grep -c '^solka: box: ' "$err") -eq 1 ]] || fail "$(grep -c '^solka: box: ' "$err") boxes"
echo "PASS: options, a missing path and refusals say why; 300 hand-overs of a bad list leave one box"

# A crash leaves the socket behind; the next start becomes the player all the same.
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
[[ -S $sock ]] || fail "no socket left behind by the killed player"
err="$work/err.new"
start_program "$work/music/a"
wait_caption t1
second_start ZZZ_NEXT_PLAY
wait_caption t2
echo "PASS: after kill -9 the next start is the player"

# The player's window thread held, as a long scan or a wedged display holds it: the kernel stops
# that one thread (ptrace) while the rest of the player runs on. Ten later starts each hand over
# and end; none becomes a second player; once the thread runs again the newest is acted on.
python3 - "$pid" "$work/release" >"$work/held" 2>&1 <<'PY' &
import ctypes, os, sys, time
libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]
thread, release = int(sys.argv[1]), sys.argv[2]
PTRACE_SEIZE, PTRACE_INTERRUPT, PTRACE_DETACH, WALL = 0x4206, 0x4207, 17, 0x40000000
if libc.ptrace(PTRACE_SEIZE, thread, None, None) or libc.ptrace(PTRACE_INTERRUPT, thread, None, None):
    sys.exit("ptrace: " + os.strerror(ctypes.get_errno()))
os.waitpid(thread, WALL)
print("held", flush=True)
for _ in range(1200):  # let go after two minutes whatever happens
    if os.path.exists(release):
        break
    time.sleep(0.1)
libc.ptrace(PTRACE_DETACH, thread, None, None)
PY
holder=$!
for _ in $(seq 300); do grep -q held "$work/held" && break; sleep 0.1; done
grep -q held "$work/held" || fail "the window thread could not be held: $(cat "$work/held")"
for _ in $(seq 9); do second_start "$work/music/a"; done
second_start "$work/music/Vol. 2"
players=0
for p in /proc/[0-9]*; do
  [[ $(readlink "$p/exe" 2>/dev/null) == "$work/bin/solka-player" ]] && players=$((players + 1))
done
[[ $players -eq 1 ]] || fail "$players players while the window thread was held"
! grep -q "taking over\|playing on its own\|nothing was handed" "$work/second.err" ||
  fail "a start did not hand over: $(tail -n 1 "$work/second.err")"
touch "$work/release"
wait "$holder"
wait_caption u1
[[ $(captions | grep -c '^t1$') -eq 1 ]] || fail "an older request was acted on after the newest"
end_program
echo "PASS: with its window thread held, ten later starts hand over to the one player"

# A stranger holding the lock (no player's process id in it), and a folder in the endpoint's
# place: the next start takes over (after waiting for a player that might still be starting) and
# later starts reach it.
mkdir -p "$sock/kept"
(
  exec 9>"$XDG_RUNTIME_DIR/solka/DODEDEV.lock"
  flock 9
  exec sleep 120
) >/dev/null 2>&1 &
holder=$!
err="$work/err.takeover"
start_program "$work/music/a"
wait_for "taking over as the player"
wait_caption t1
second_start ZZZ_NEXT_PLAY
wait_caption t2
[[ -d $(echo "$sock".moved-*)/kept ]] || fail "the folder in the endpoint's place is gone"
end_program
kill "$holder"
echo "PASS: a start takes over from a lock holder that is no player"

# Installed: the player program in lib/solka/ beside bin/, the settings beside the front. With
# no player program anywhere, the front says so and ends.
mkdir -p "$work/usr/bin" "$work/usr/lib/solka"
cp "$solka" "$work/usr/bin/"
cp "$work/bin/solka-player" "$work/usr/lib/solka/"
err="$work/err.installed"
solka="$work/usr/bin/solka" start_program "$work/music/a"
wait_caption t1
end_program
[[ -f $work/usr/bin/solka.ini ]] || fail "no settings beside the installed front"
status=0
timeout 60 "$work/lone/solka" "$work/music/a" 2>"$work/lone.err" || status=$?
[[ $status -eq 127 ]] && grep -q "cannot start the player program ($work/lone/solka-player: No such" \
  "$work/lone.err" || fail "the front without a player program: status $status, $(cat "$work/lone.err")"
echo "PASS: the front alone answers and hands over; installed, it finds its player program"
