#!/usr/bin/env bash
# End-to-end test of saving through the encoder components under Wine: Save
# As MP3, FLAC and M3U from the editor's own dialog, each with its Format
# Options dialog driven by the test; the files are read back by Debian's
# decoders (FLAC bit for bit, MP3 by its length and bit rate).
# Usage: save_formats_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=save_formats
source "$(dirname "$0")/e2e_common.sh"

programs=$build/component-programs
for component in mp3el:mp3enc.exe flacenc:flacenc.exe oggenc:oggenc.exe aacenc:aacenc.exe amrenc:amrenc.exe; do
  wine reg add "HKCU\\Software\\Zedirad\\Components\\${component%%:*}" /v Path \
    /d "$(win "$programs/${component#*:}")" /f >/dev/null
done

# Tones mixed with a sweep: no period, so the best delay of the SNR is the real one.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/tones.wav" synth 3 sine 440 sine 1000 synth 3 sine mix 200-3000 gain -8
sox -V1 "$work/tones.wav" -t raw "$work/tones.raw"
sox -V1 "$work/tones.wav" -r 8000 -c 1 -t raw "$work/phone.raw"
# Signal-to-noise ratio of DECODED against REFERENCE, at the best delay.
# A comparison that printed nothing did not run (Wine lost the process), and
# is run once more.
snr() {  # REFERENCE DECODED CHANNELS MIN_DB
  local out status
  for _ in 1 2; do
    status=0
    out=$(wine "$build/components/pcm_compare.exe" "$(win "$1")" "$(win "$2")" "$3" 4096 "$4" | tr -d '\r') ||
      status=$?
    [ -n "$out" ] && break
    echo "pcm_compare printed nothing (exit $status); running it again" >&2
  done
  echo "$out"
  return "$status"
}

# Save As NAME, with the Format Options dialog TITLE handled by the commands
# that follow ("set ID TEXT", "pick ID INDEX"); OK in both dialogs.
save_as() {
  local name=$1 title=$2; shift 2
  drive post 1005 >/dev/null
  drive dialog-wait "Save As" 30 || fail "no Save As dialog for $name"
  drive dialog-set "Save As" 1148 "$(win "$work/$name")" >/dev/null
  drive answer "Save As" 1190 10 >/dev/null || fail "no Format Options button"
  drive dialog-wait "$title" 20 || fail "Format Options did not open \"$title\""
  import -window root "$work/${name/./-}-options.png" || true
  while [ $# -gt 0 ]; do
    drive "dialog-$1" "$title" "$2" "$3" >/dev/null || fail "cannot $1 control $2 of \"$title\""
    shift 3
  done
  drive answer "$title" 1 10 >/dev/null
  drive dialog-gone "$title" 20 || fail "\"$title\" stayed open"
  drive answer "Save As" 1 10 >/dev/null
  drive dialog-gone "Save As" 20 || fail "the Save As dialog stayed open"
  for _ in $(seq 120); do
    [ "$(drive documents)" = "$name" ] && return 0
    sleep 0.5
  done
  fail "the document was not saved as $name (documents: $(drive documents))"
}

start_editor "$(win "$work/tones.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- MP3 at 64 kbps CBR, chosen in the MP3 Encoder Settings"
# 64 kbps is the eighth entry of the bit-rate list; the encoder may lower the
# rate for it, so the length is measured at 44,100 Hz.
save_as tones.mp3 "MP3 Encoder Settings" pick 102 7
[ "$(wine reg query 'HKCU\Software\Zedirad\Razavo\MP3Encoder' /v CBRBitRate | tr -d '\r' |
     awk '/CBRBitRate/ {print $3}')" = 64 ] || fail "the MP3 settings were not stored"
mpg123 -q -r 44100 -s "$work/tones.mp3" >"$work/mp3.raw" || fail "mpg123 cannot decode the MP3"
frames=$(( $(stat -c %s "$work/mp3.raw") / 4 ))
[ $((frames - 132300)) -le 1152 ] && [ $((132300 - frames)) -le 1152 ] ||
  fail "the MP3 decodes to $frames frames, 132300 expected"
bytes=$(stat -c %s "$work/tones.mp3")
# 3 s at 64 kbps is 24,000 bytes; at the default 128 kbps it would be twice that.
[ "$bytes" -gt 20000 ] && [ "$bytes" -lt 30000 ] || fail "the MP3 has $bytes bytes, not 64 kbps"

echo "-- FLAC, stereo at compression 8, bit for bit"
save_as tones.flac "FLAC Encoder Settings" pick 101 8 pick 103 1
flac -s -d -f --force-raw-format --endian=little --sign=signed -o "$work/flac.raw" "$work/tones.flac" ||
  fail "flac cannot decode the FLAC"
cmp -s "$work/flac.raw" "$work/tones.raw" || fail "the FLAC does not give the samples back"

echo "-- M3U with its MP3 beside it"
save_as talk.m3u "Playlist File Settings" set 101 "http://127.0.0.1/pod"
printf '#EXTM3U\r\n#EXTINF:3,talk\r\nhttp://127.0.0.1/pod/talk.mp3\r\n' >"$work/expected.m3u"
cmp -s "$work/talk.m3u" "$work/expected.m3u" || fail "the M3U reads: $(cat -A "$work/talk.m3u")"
mpg123 -q -s "$work/talk.mp3" >"$work/talk.raw" || fail "the playlist's MP3 does not decode"
[ -s "$work/talk.raw" ] || fail "the playlist's MP3 is empty"
ls -a "$work" | grep -q '\.tmp' && fail "temporary files were left: $(ls -a "$work" | grep '\.tmp')"

echo "-- Ogg Vorbis, AAC and AMR with their settings as stored"
wine reg add 'HKCU\Software\Zedirad\Razavo\OggEncoder' /v Channels /d 2 /f >/dev/null
save_as tones.ogg "Ogg Vorbis Encoder Settings"
oggdec -Q -R -o "$work/ogg.raw" "$work/tones.ogg" || fail "oggdec cannot decode the Ogg file"
result=$(snr "$work/tones.raw" "$work/ogg.raw" 2 20) || fail "the Ogg file is far from the source: $result"
echo "Ogg Vorbis, oggdec: $result"
save_as tones.m4a "AAC Encoder Settings"
ffmpeg -v error -y -i "$work/tones.m4a" -f s16le -ac 2 "$work/m4a.raw" || fail "ffmpeg cannot decode the M4A file"
result=$(snr "$work/tones.raw" "$work/m4a.raw" 2 20) || fail "the M4A file is far from the source: $result"
echo "AAC (MP4), ffmpeg: $result"
save_as tones.amr "AMR Encoder Settings" pick 101 7
ffmpeg -v error -y -i "$work/tones.amr" -f s16le -ac 1 "$work/amr.raw" || fail "ffmpeg cannot decode the AMR file"
result=$(snr "$work/phone.raw" "$work/amr.raw" 1 1) || fail "the AMR file is far from the source: $result"
echo "AMR 12.2, ffmpeg: $result"
mpg123 -q -r 44100 -s "$work/talk.mp3" >"$work/talk44.raw"
result=$(snr "$work/tones.raw" "$work/talk44.raw" 2 15) || fail "the MP3 is far from the source: $result"
echo "MP3 64 kbps (encoded at 24 kHz), mpg123: $result"

echo "-- WAVE with the system's format chooser, stored whole in WavCodec.wff"
# Wine titles its chooser "Sound Selection" whatever title it is given.
save_as chosen.wav "Sound Selection"
wff=$data_folder/WavCodec.wff
[ "$(stat -c %s "$wff" 2>/dev/null)" = 1024 ] || fail "WavCodec.wff is not 1,024 bytes: $(ls -l "$wff" 2>&1)"
sox -V1 "$work/chosen.wav" -t raw "$work/chosen.raw" || fail "sox cannot read the chosen WAVE"
[ "$(soxi -c "$work/chosen.wav")" = 2 ] || fail "the chosen WAVE lost a channel"

echo "-- the raw settings refuse a rate outside 6,000..196,000 Hz and stay open"
drive post 1005 >/dev/null
drive dialog-wait "Save As" 30 || fail "no Save As dialog for the raw file"
drive dialog-set "Save As" 1148 "$(win "$work/tones.raw")" >/dev/null
drive answer "Save As" 1190 10 >/dev/null || fail "no Format Options button"
drive dialog-wait "Raw Audio Settings" 20 || fail "Format Options did not open the raw settings"
drive dialog-set "Raw Audio Settings" 102 5999 >/dev/null
drive answer "Raw Audio Settings" 1 10 >/dev/null
# The message carries the dialog's title and lies above it.
for _ in $(seq 40); do
  drive dialog-controls "Raw Audio Settings" | grep -q "from 6000 to 196000 Hz" && break
  sleep 0.25
done
drive dialog-controls "Raw Audio Settings" | grep -q "from 6000 to 196000 Hz" ||
  fail "no message for a rate of 5999 Hz: $(drive dialog-controls "Raw Audio Settings")"
drive answer "Raw Audio Settings" 1 10 >/dev/null
sleep 1
drive dialog-controls "Raw Audio Settings" | grep -q "Sample rate" || fail "the raw settings closed on a bad rate"
drive dialog-set "Raw Audio Settings" 102 8000 >/dev/null
drive answer "Raw Audio Settings" 1 10 >/dev/null
drive dialog-gone "Raw Audio Settings" 20 || fail "the raw settings refused 8000 Hz"
[ "$(wine reg query 'HKCU\Software\Zedirad\Razavo\RawAudio' /v SampleRate 2>/dev/null | tr -d '\r' |
     awk '/SampleRate/ {print $3}')" = 8000 ] || fail "the raw rate was not stored"
drive answer "Save As" 2 10 >/dev/null
drive dialog-gone "Save As" 20 || fail "the Save As dialog stayed open"

echo "-- a playlist's MP3 is replaced only when the user agrees"
rm -f "$work/talk.m3u"
mp3_before=$(md5sum <"$work/talk.mp3")
drive post 1005 >/dev/null
drive dialog-wait "Save As" 30 || fail "no Save As dialog for the playlist"
drive dialog-set "Save As" 1148 "$(win "$work/talk.m3u")" >/dev/null
drive answer "Save As" 1 10 >/dev/null
drive dialog-wait Razavo 20 || fail "no question before replacing the playlist's MP3"
drive dialog-controls Razavo | grep -q '"talk.mp3" already exists' || fail "the question does not name talk.mp3"
drive answer Razavo 7 10 >/dev/null
drive dialog-wait "Save As" 30 || fail "the Save As dialog did not come back after No"
drive answer "Save As" 2 10 >/dev/null
drive dialog-gone "Save As" 20 || fail "the Save As dialog stayed open"
[ "$(md5sum <"$work/talk.mp3")" = "$mp3_before" ] || fail "the playlist's MP3 was replaced after No"
[ ! -e "$work/talk.m3u" ] || fail "the playlist was written after No"

echo "-- a missing encoder is offered for download; a failed download saves nothing"
wine reg delete 'HKCU\Software\Zedirad\Components\mp3el' /f >/dev/null
# Nothing listens on port 9: the download fails at once.
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v ComponentHost /d localhost:9 /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v WebHost /d localhost:9 /f >/dev/null
drive post 1005 >/dev/null
drive dialog-wait "Save As" 30 || fail "no Save As dialog for the MP3 without encoder"
drive dialog-set "Save As" 1148 "$(win "$work/nocoder.mp3")" >/dev/null
drive answer "Save As" 1 10 >/dev/null
drive dialog-gone "Save As" 20 || fail "the Save As dialog stayed open"
drive dialog-wait Error 60 || fail "no message after the encoder's download failed"
drive dialog-controls Error | grep -q 'install-on-demand component "mp3el"' || fail "the message does not name mp3el"
drive answer Error 1 10 >/dev/null
drive dialog-gone Error 20 || fail "the message stayed open"
sleep 1
ls "$work" | grep -q nocoder && fail "a file was written without an encoder: $(ls "$work" | grep nocoder)"
[ "$(drive documents)" = chosen.wav ] || fail "the document changed its name: $(drive documents)"

stop_editor || fail "the editor did not close"
echo "PASS"
