# Shared by the end-to-end scripts: a private folder holding a copy of the program and of the
# player program it starts (the settings file goes beside them, never into the source tree), a
# silent sink, dry-run power, the program's trace on stderr, and helpers to wait on that trace
# and to end the program.
# Source it, then call e2e_prepare PATH-TO-SOLKA.

idle="DODEDEV 1.7.2.0"
designed="SOLKA Player DirectShow Ver."
pid=

e2e_prepare() {
  local binary
  binary=$(realpath "$1")
  work=$(mktemp -d)
  trap e2e_cleanup EXIT
  mkdir -p "$work/bin" "$work/music" "$work/config"
  mkdir -m 700 "$work/runtime"
  cp "$binary" "$work/bin/solka"
  # The player program it starts (an older build is one program).
  local program
  program=$(dirname "$binary")/solka-player
  if [[ -x $program ]]; then cp "$program" "$work/bin/"; fi
  solka="$work/bin/solka"
  err="$work/err"
  : >"$err"
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  export SOLKA_AUDIO_SINK=${SOLKA_AUDIO_SINK:-fakesink sync=true}
  export SOLKA_POWER=dry-run SOLKA_TRACE=1
  export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
}

e2e_cleanup() {
  if [[ -n $pid ]]; then kill -TERM "$pid" 2>/dev/null || true; fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*" >&2
  echo "--- program trace:" >&2
  cat "$err" >&2 || true
  exit 1
}

# Starts the program in the background with stderr to $err (or to the file in ERR=...).
start_program() {
  "$solka" "$@" 2>"${ERR:-$err}" >/dev/null &
  pid=$!
}

# Waits up to 60 s (a first start in a fresh Wine prefix is slow) for a line of the trace
# matching the grep pattern.
wait_for() {
  local _
  for _ in $(seq 600); do
    grep -q -- "$1" "${ERR:-$err}" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended before '$1'"
    sleep 0.1
  done
  fail "no line matching '$1'"
}

# SECONDS CMD...: the command keeps succeeding for SECONDS (what must not change; what has to
# happen is waited for instead).
holds() {
  local _
  for _ in $(seq $(($1 * 10))); do "${@:2}" >/dev/null 2>&1 || return 1 && sleep 0.1; done
}
# NAME: the last value traced for the state NAME ("solka: NAME: VALUE"), and how many were.
traced() { sed -n "s/^solka: $1: //p" "${ERR:-$err}" | tail -n1; }
traced_count() { grep -c "^solka: $1: " "${ERR:-$err}" || true; }

# Sends the signal (default TERM) and checks that the program ends normally within 30 s.
end_program() {
  local sig=${1:-TERM} status=0
  kill -"$sig" "$pid"
  timeout 30 tail --pid="$pid" -f /dev/null || fail "SIG$sig did not end the program"
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || fail "SIG$sig: exit status $status"
}

# The captions the program showed, in order.
captions() { sed -n 's/^solka: caption: //p' "${1:-$err}"; }

# NAME ENCODER...: about one second (TONE_SECONDS=N: N seconds) of a tone in $work/music/NAME.
tone() {
  local name=$1
  shift
  gst-launch-1.0 -q audiotestsrc samplesperbuffer=4410 num-buffers=$((${TONE_SECONDS:-1} * 10)) ! \
    audio/x-raw,rate=44100,channels=2 ! audioconvert ! "$@" ! \
    filesink location="$work/music/$name" >/dev/null
}
