#!/usr/bin/env bash
# The real program closed in the compact view with a program chosen to run at exit: the
# settings keep the full view's top, the closing caption shows, and the program runs once.
#   run_app_at_exit.sh PATH-TO-SOLKA
set -euo pipefail
solka=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SOLKA_AUDIO_SINK=${SOLKA_AUDIO_SINK:-fakesink sync=true}
export SOLKA_POWER=dry-run
export SOLKA_TRACE=1
export XDG_RUNTIME_DIR="$work/runtime"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The settings file goes beside the program, so the program runs from a folder of its own.
mkdir "$work/bin"
cp "$solka" "$work/bin/solka"
after="$work/after exit.sh"
printf '#!/bin/sh\necho ran >> "%s/ran.txt"\n' "$work" >"$after"
chmod 700 "$after"
printf '[SETTING]\r\nListHide=1\r\nTop=120\r\nTop2=300\r\nAppName=%s\r\nRun_App=1\r\n' "$after" \
  >"$work/bin/solka.ini"

fail() { echo "FAIL: $*"; echo "--- stderr:"; cat "$work/err"; exit 1; }

"$work/bin/solka" 2>"$work/err" &
pid=$!
for _ in $(seq 200); do
  grep -q 'solka: caption: SOLKA Player DirectShow Ver.' "$work/err" && break
  sleep 0.1
done
kill -TERM "$pid"
timeout 30 tail --pid="$pid" -f /dev/null || fail "SIGTERM did not end the program"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"

grep -q 'solka: caption: 終了しています･･･' "$work/err" || fail "closing caption not shown"
for _ in $(seq 100); do
  [ -f "$work/ran.txt" ] && break
  sleep 0.1
done
[ "$(cat "$work/ran.txt" 2>/dev/null)" = "ran" ] || fail "program at exit did not run exactly once"
ini=$(tr -d '\r' <"$work/bin/solka.ini")
grep -q '^ListHide=1$' <<<"$ini" || fail "compact view not saved"
grep -q '^Top=120$' <<<"$ini" || fail "full view's top changed"
grep -q '^Top2=' <<<"$ini" || fail "compact view's top not saved"
echo "ok"
