#!/usr/bin/env bash
# End-to-end test of opening MP3 files in the editor under Wine: a file that
# Debian's lame wrote opens with exactly the samples and the length of the
# WAVE it was made from (no encoder delay or padding) as mpg123 decodes them,
# and a file that is not MPEG audio gets the MPEG message.
# Usage: mp3_open_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=mp3_open
source "$(dirname "$0")/e2e_common.sh"

# 2.37 s of stereo at 44.1 kHz: a length that fills no MP3 frame exactly.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/source.wav" synth 2.37 sine 300-2500 synth pinknoise mix gain -6
lame --quiet -V 4 "$work/source.wav" "$work/song.mp3"
mpg123 -q -s "$work/song.mp3" >"$work/song-by-mpg123.raw"
printf 'not audio at all, just a note with an mp3 name\n%.0s' $(seq 60) >"$work/notes.mp3"

echo "-- an MP3 from lame opens with the source's length and mpg123's samples"
start_editor "$(win "$work/song.mp3")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
[ "$(drive documents)" = "song.mp3" ] || fail "song.mp3 is not open: $(drive documents)"
import -window root "$work/song.png" || true
save_active_as "$work/song.wav"
[ "$(soxi -s "$work/song.wav")" = "$(soxi -s "$work/source.wav")" ] ||
  fail "length $(soxi -s "$work/song.wav"), the source has $(soxi -s "$work/source.wav")"
sox -V1 "$work/song.wav" -t raw "$work/song.raw"
cmp -s "$work/song.raw" "$work/song-by-mpg123.raw" || fail "the samples differ from mpg123's"

echo "-- a file that is not MPEG audio gets the MPEG message"
# The hand-over returns only when the message has been answered: in the
# background.
(wine "$editor" "$(win "$work/notes.mp3")" >/dev/null 2>&1 &)
drive dialog-wait Razavo 20 >/dev/null || fail "no message for notes.mp3"
expected="Cannot open the file \"$(win "$work/notes.mp3")\". It is possibly either corrupt or not a true layer-3 MPEG file."
said=$(drive dialog-get Razavo 65535)
[ "$said" = "$expected" ] || fail "the message was: $said"
drive answer Razavo 1 20 >/dev/null
drive dialog-gone Razavo 20 || fail "the message stayed"
# The saved document now carries the WAVE name.
[ "$(drive documents)" = "song.wav" ] || fail "a document for the bad file: $(drive documents)"

drive close >/dev/null 2>&1 || true
drive wait-gone 20 >/dev/null || true
echo "PASS"
