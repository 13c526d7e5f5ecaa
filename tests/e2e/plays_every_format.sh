#!/usr/bin/env bash
# The real program started with one audio file of each playable format: the title is the
# caption while it plays, the idle text after it. A file that cannot play says so.
# Usage: plays_every_format.sh PATH-TO-SOLKA
set -euo pipefail

if [[ -z ${SOLKA_E2E_DISPLAY:-} ]]; then
  # One X server for every start.
  export SOLKA_E2E_DISPLAY=1
  exec xvfb-run -a bash "$0" "$@"
fi
source "$(dirname "$0")/lib/program.sh"
e2e_prepare "$1"
printf '[SETTING]\r\n' >"$work/bin/solka.ini"

tone f_wav.wav wavenc
tone f_mp3.mp3 lamemp3enc ! xingmux ! id3v2mux
tone f_ogg.ogg vorbisenc ! oggmux
tone f_opus.opus audioresample ! opusenc ! oggmux
tone f_flac.flac flacenc
tone f_m4a.m4a avenc_aac ! mp4mux
tone f_3g2.3g2 avenc_aac ! mp4mux
tone f_aac.aac avenc_aac ! aacparse ! audio/mpeg,stream-format=adts
tone f_wma.wma avenc_wmav2 ! asfmux
tone f_asf.asf avenc_wmav2 ! asfmux
# Middle C for half a second, by hand; and the same inside a RIFF "RMID" wrapper.
midi='MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x0f'
midi+='\x00\xc0\x00\x00\x90\x3c\x64\x60\x80\x3c\x40\x00\xff\x2f\x00'
printf "$midi" >"$work/music/f_mid.mid"
printf "RIFF\x31\x00\x00\x00RMIDdata\x25\x00\x00\x00$midi" >"$work/music/f_rmi.rmi"
printf 'RCM-PC98V2.0(C)COME ON MUSIC\r\n\x00\x01\x02' >"$work/music/broken.rcp"
printf "this is not music\n%.0s" $(seq 1 200) >"$work/music/broken.mp3"

failed_text="再生できませんでした"
failures=0

# True when the captions in LOG contain the lines of EXPECTED ("a|b") in that order.
captions_show() {
  captions "$1" |
    awk -v want="$2" 'BEGIN { n = split(want, w, "|"); i = 1 } i <= n && $0 == w[i] { i++ }
                      END { exit !(i > n) }'
}

# Starts the program on FILE, waits until its captions show EXPECTED, then closes it.
check() {
  local file=$1 expected=$2 log="$work/stderr.$1"
  ERR=$log start_program "$work/music/$file"
  local deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    captions_show "$log" "$expected" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
  if captions_show "$log" "$expected"; then
    echo "ok   $file"
  else
    echo "FAIL $file: wanted '$expected' among the captions:" >&2
    captions "$log" | sed 's/^/  /' >&2
    failures=$((failures + 1))
  fi
}

for file in f_wav.wav f_mp3.mp3 f_ogg.ogg f_opus.opus f_flac.flac f_m4a.m4a f_3g2.3g2 f_aac.aac \
  f_wma.wma f_asf.asf f_mid.mid f_rmi.rmi; do
  check "$file" "${file%.*}|$idle"
done
check broken.rcp "$failed_text"
check broken.mp3 "$failed_text"
# A terminal also learns which file and why, in one line each.
for file in broken.rcp broken.mp3; do
  line=$(grep -F "solka: cannot play \"$work/music/$file\": " "$work/stderr.$file" || true)
  if [[ $(printf '%s' "$line" | grep -c .) -eq 1 && ${#line} -gt $((${#work} + 40)) ]]; then
    echo "ok   $file: ${line#*: cannot play }"
  else
    echo "FAIL $file: no single line with the reason on stderr:" >&2
    grep -v '^solka: \(caption\|tray\):' "$work/stderr.$file" | sed 's/^/  /' >&2
    failures=$((failures + 1))
  fi
done

[[ $failures -eq 0 ]] || exit 1
echo "PASS: every playable format played; unplayable files said so, and why"
