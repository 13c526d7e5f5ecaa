# Shared by the sound benchmarks (gap, gap_wine, first_sound): tools, a private sound server
# with a null output named "gap" (its monitor is what a listener would hear), and the tone tracks.
# Source it after setting `work` (a fresh folder); the caller's cleanup stops `$server`.

# gap_require TOOL...: ends the script when one is missing.
gap_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || {
      echo "$tool is missing (tools/install-deps installs it)" >&2
      exit 1
    }
  done
}

stop() { [[ -n $1 ]] && kill -TERM "$1" 2>/dev/null && wait "$1" 2>/dev/null || true; }

# A sound server of our own with HOME and XDG_RUNTIME_DIR in $work, found by the program as
# the desktop's would be; called again once it has been stopped, a new one. Its log
# ($work/server.log) tells when a stream ran dry.
gap_sound_server() {
  mkdir -p "$work/home"
  mkdir -p -m 700 "$work/runtime"
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes --log-target=stderr \
    --log-level=debug --log-time=1 \
    -L "module-native-protocol-unix" -L "module-null-sink sink_name=gap rate=48000 channels=1" \
    2>"$work/server.log" &
  server=$!
  local i
  for ((i = 0; i < 100; i++)); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl set-default-sink gap
}

# How many times a stream of the server has run dry so far.
gap_server_underruns() { grep -c -e 'Implicit underrun of' -e 'Underrun on' "$work/server.log" || true; }

# tone NAME RATE CHANNELS ENCODER [TENTHS]: a 1 kHz tone track of TENTHS tenths of a second
# (default 5) in $work.
tone() {
  gst-launch-1.0 -q audiotestsrc freq=1000 volume=0.5 samplesperbuffer=$(($2 / 10)) \
    num-buffers="${5:-5}" ! "audio/x-raw,rate=$2,channels=$3" ! audioconvert ! $4 ! \
    filesink location="$work/$1"
}

# link_tracks FOLDER SOURCES...: twelve tracks t00..t11 in FOLDER, hard links to the SOURCES
# (names in $work) in turn, so that each change of track crosses from one source to the next.
link_tracks() {
  local music=$1 i
  shift
  local sources=("$@")
  mkdir -p "$music"
  for ((i = 0; i < 12; i++)); do
    local source=${sources[i % ${#sources[@]}]}
    ln -f "$work/$source" "$(printf '%s/t%02d.%s' "$music" "$i" "${source##*.}")"
  done
}
