#!/usr/bin/env bash
# The real program started as a user types it in a shell: ".", ".." and relative folders are
# folders, their tracks play in name order, and of two files whose names differ only in case
# the one named plays; hidden entries play only when named.
#   startup_arguments.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
mkdir -p "$work/music/album/empty" "$work/music/case"
# Made out of name order: the listing must not depend on the order of creation. A hidden file,
# first in name order, is passed over unless named itself.
for name in "album/03 three.wav" "album/01 one.wav" "album/02 two.wav" "a top.wav" \
  case/song.wav case/Song.wav .secret.wav; do
  tone "$name" wavenc
done

# FOLDER ARGUMENT WANT: started in FOLDER with ARGUMENT, the first track played is WANT.
first_track_is() {
  local folder=$1 argument=$2 want=$3 first= _
  : >"$err"
  cd "$folder"
  start_program "$argument"
  cd "$work"
  for _ in $(seq 200); do
    first=$(captions | grep -v -x -e "$idle" -e "$designed" | head -n 1 || true)
    [[ -n $first ]] && break
    kill -0 "$pid" 2>/dev/null || fail "'$argument' in $folder: the program ended"
    sleep 0.1
  done
  end_program
  [[ $first == "$want" ]] || fail "'$argument' in $folder played '$first', not '$want'"
}

first_track_is "$work/music/album" . "01 one"
first_track_is "$work/music/album/empty" .. "01 one"
first_track_is "$work/music/album" .. "a top"
first_track_is "$work" music/album "01 one"
first_track_is "$work/music/album" ./../album/./ "01 one"
first_track_is "$work/music" case/Song.wav "Song"
first_track_is "$work/music/case" song.wav "song"
first_track_is "$work/music" .secret.wav ".secret"

# The whole run of a folder keeps name order.
: >"$err"
cd "$work/music/album"
start_program .
cd "$work"
for _ in $(seq 300); do
  captions | grep -qx "03 three" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended early"
  sleep 0.1
done
end_program
played=$(captions | grep -x '0[0-9] [a-z]*' | paste -sd '|' - || true)
[[ $played == "01 one|02 two|03 three" ]] || fail "album played as '$played'"
echo "ok"
