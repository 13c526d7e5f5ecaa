#!/usr/bin/env bash
# The real program closed in the compact view with a program chosen to run at exit: the
# settings keep the full view's top, the closing caption shows, and the program runs once.
#   run_app_at_exit.sh PATH-TO-SOLKA
set -euo pipefail
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
after="$work/after exit.sh"
printf '#!/bin/sh\necho ran >> "%s/ran.txt"\n' "$work" >"$after"
chmod 700 "$after"
printf '[SETTING]\r\nListHide=1\r\nTop=120\r\nTop2=300\r\nAppName=%s\r\nRun_App=1\r\n' "$after" \
  >"$work/bin/solka.ini"

start_program
wait_for "solka: caption: $designed"
end_program

grep -q 'solka: caption: 終了しています･･･' "$err" || fail "closing caption not shown"
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
