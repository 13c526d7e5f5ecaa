#!/usr/bin/env bash
# The real program tells a local listener named "Tzzz" what plays: the title at each start, the
# empty text when playback ends, each frame exactly as sent.
#   now_playing_listener.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
gst-launch-1.0 -q audiotestsrc samplesperbuffer=8000 num-buffers=60 ! \
  audio/x-raw,rate=8000,channels=1 ! wavenc ! filesink location="$work/music/夜の歌.wav" >/dev/null

# The listener: one frame per connection, answered with 0; each frame written as
# "<dwData> <byte count> <bytes in hex>".
mkdir -m 700 "$work/runtime/solka"
python3 - "$work/runtime/solka/Tzzz" "$work/frames" <<'PY' &
import socket, struct, sys
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(sys.argv[1])
server.listen(8)
while True:
    peer, _ = server.accept()
    data = b""
    while len(data) < 8 or len(data) < 8 + struct.unpack("<I", data[4:8])[0]:
        chunk = peer.recv(4096)
        if not chunk:
            break
        data += chunk
    number, count = struct.unpack("<II", data[:8])
    with open(sys.argv[2], "a") as out:
        out.write(f"{number} {count} {data[8:8 + count].hex()}\n")
    peer.sendall(struct.pack("<I", 0))
    peer.close()
PY
listener=$!
trap 'kill $listener 2>/dev/null || true; e2e_cleanup' EXIT
for _ in $(seq 100); do [[ -S $work/runtime/solka/Tzzz ]] && break; sleep 0.1; done

start_program "$work/music"
wait_for '^solka: caption: 夜の歌$'
for _ in $(seq 100); do [[ -s $work/frames ]] && break; sleep 0.1; done
end_program
title=$(printf 'DODEDEV : 夜の歌' | od -An -tx1 | tr -d ' \n')
expected="3000 19 $title
3000 0 "
[[ $(cat "$work/frames") == "$expected" ]] || fail "frames: $(cat "$work/frames")"
echo "PASS: the listener got the title at the start and the empty text at the end"
