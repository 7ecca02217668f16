#!/usr/bin/env bash
# End-to-end test of opening files that are not plain, whole PCM: a WAVE
# file of IMA ADPCM that sox wrote opens through the system's codec with
# exactly the length its "fact" chunk states and sox's samples; an MP3 cut
# off in the middle of a frame opens with what decodes, and the user is
# warned once, after the document is up.
# Usage: damaged_and_compressed_open_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=damaged_and_compressed_open
source "$(dirname "$0")/e2e_common.sh"

sox -V1 -n -r 22050 -c 1 -b 16 "$work/source.wav" synth 2 sine 300-2500 synth pinknoise mix gain -8
sox -V1 "$work/source.wav" -e ima-adpcm "$work/ima.wav"
sox -V1 "$work/ima.wav" -t raw -e signed -b 16 -L "$work/ima-by-sox.raw" trim 0 44100s
lame --quiet -b 128 "$work/source.wav" "$work/whole.mp3"
size=$(stat -c %s "$work/whole.mp3")
head -c $((size * 2 / 3 + 101)) "$work/whole.mp3" >"$work/cut.mp3"

echo "-- an IMA ADPCM file opens with its fact count and sox's samples"
start_editor "$(win "$work/ima.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
[ "$(drive documents)" = "ima.wav" ] || fail "ima.wav is not open: $(drive documents)"
save_active_as "$work/ima-opened.wav"
[ "$(soxi -s "$work/ima-opened.wav")" = 44100 ] || fail "length $(soxi -s "$work/ima-opened.wav"), the fact chunk says 44100"
sox -V1 "$work/ima-opened.wav" -t raw "$work/ima-opened.raw"
cmp -s "$work/ima-opened.raw" "$work/ima-by-sox.raw" || fail "the samples differ from sox's"

echo "-- an MP3 cut off in a frame opens, with one warning after the open"
(wine "$editor" "$(win "$work/cut.mp3")" >/dev/null 2>&1 &)
drive dialog-wait Razavo 30 >/dev/null || fail "no warning for cut.mp3"
sleep 1
import -window root "$work/warning.png" || true
expected="The file \"$(win "$work/cut.mp3")\" is damaged. What could be decoded has been opened; the damaged parts are missing or silent."
said=$(drive dialog-get Razavo 65535)
[ "$said" = "$expected" ] || fail "the warning was: $said"
drive answer Razavo 1 20 >/dev/null
drive dialog-gone Razavo 20 || fail "the warning stayed"
drive documents | grep -qx "cut.mp3" || fail "cut.mp3 is not open: $(drive documents)"
save_active_as "$work/cut-opened.wav"
frames=$(soxi -s "$work/cut-opened.wav")
[ "$frames" -gt 22050 ] || fail "only $frames frames of the cut MP3 were opened"

echo "-- the whole MP3 opens without a warning"
(wine "$editor" "$(win "$work/whole.mp3")" >/dev/null 2>&1 &)
for _ in $(seq 50); do drive documents | grep -qx "whole.mp3" && break; sleep 0.2; done
drive documents | grep -qx "whole.mp3" || fail "whole.mp3 is not open: $(drive documents)"
sleep 1
if drive dialog-wait Razavo 1 >/dev/null 2>&1; then fail "a message for a whole MP3: $(drive dialog-get Razavo 65535)"; fi

drive close >/dev/null 2>&1 || true
drive wait-gone 20 >/dev/null || true
echo "PASS"
