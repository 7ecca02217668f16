#!/usr/bin/env bash
# End-to-end test of recording in the editor with a real input device under
# Wine: the default source of a private PulseAudio server is the monitor of a
# null sink into which pacat plays a known signal in real time. Record with
# no file open makes a new file and records 5 s through the "Record Control"
# dialog, which the test drives; the saved file holds the signal after the
# DC filter, sample for sample. A second recording, waiting for sound, goes
# in at the cursor of an open file, selected, and Undo takes it out again.
# Without Autostart the dialog waits for its Record button; the advanced
# settings keep the threshold in its range; Cancel leaves the file alone.
# Saves screenshots of the dialog while it records and of its advanced settings.
# Usage: record_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=record E2E_AUDIO=1
source "$(dirname "$0")/e2e_common.sh"
check=$build/devices/capture_check.exe
recorder_key='HKCU\Software\Zedirad\Razavo\Recorder'
seconds() { awk -F: '{ printf "%.2f\n", $1 * 3600 + $2 * 60 + $3 }'; }
holds() { awk "BEGIN { exit !($1) }"; }

sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/tone.raw" synth 30 sine 440 vol 0.4 dcshift 0.05
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/quiet.raw" trim 0 3
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/burst.raw" synth 2 sine 660 vol 0.5
cat "$work/quiet.raw" "$work/burst.raw" "$work/quiet.raw" >"$work/later.raw"
sox -V1 -n -r 44100 -c 2 -b 16 "$work/base.wav" synth 2 sine 220 vol 0.3

null_microphone mic || fail "no microphone"
feed() { feed_microphone "$1"; }

echo "-- Record with no file open: a new stereo file, 5 s through the dialog"
wine reg add "$settings_key" /v DefaultChannels /d 2 /f >/dev/null
wine reg add "$recorder_key" /v Autotrim /d 0 /f >/dev/null
start_editor
drive wait-frame 60 >/dev/null || fail "the editor did not start"
feed "$work/tone.raw"
sleep 0.5
drive post 3001 >/dev/null
drive dialog-wait "Record Control" 30 >/dev/null || fail "the record dialog did not open"
sleep 1
[ "$(drive dialog-get "Record Control" 121)" = "Recording..." ] ||
  fail "the dialog does not record at once: $(drive dialog-get "Record Control" 121)"
[ "$(drive dialog-get "Record Control" 110)" = "Stop" ] || fail "the Record button does not offer Stop"
echo "recording device: $(drive dialog-get "Record Control" 100); input line: $(drive dialog-get "Record Control" 101); its volume: $(drive dialog-get "Record Control" 102) dB"
sleep 4
import -window root "$work/recording.png" || true
shown=$(drive dialog-get "Record Control" 103 | seconds)
holds "$shown >= 4 && $shown <= 7" || fail "the dialog shows $shown s after 5 s of recording"
drive answer "Record Control" 1 10 >/dev/null || fail "OK could not be pressed"
drive dialog-gone "Record Control" 20 >/dev/null || fail "the record dialog stayed open"
[ "$(drive documents)" = "Untitled 1" ] || fail "the recording is not in a new file: $(drive documents)"
length=$(drive field 130 | seconds)
holds "$length >= 4.5 && $length <= 7" || fail "the new file is $length s long"
[ "$(drive field 106 | seconds)" = 0.00 ] || fail "the selection does not start at the recording"
[ "$(drive field 108 | seconds)" = "$length" ] || fail "the recording is not selected"
save_active_as "$work/recorded.wav"
for _ in $(seq 100); do [ -s "$work/recorded.wav" ] && break; sleep 0.1; done
sleep 0.5
wine "$check" compare "$(win "$work/tone.raw")" "$(win "$work/recorded.wav")" 2 44100 | tr -d '\r' ||
  fail "the saved recording is not the signal after the DC filter"

echo "-- Record into an open file at its cursor, waiting for sound"
wine reg add "$recorder_key" /v Autotrim /d 1 /f >/dev/null
drive close >/dev/null
drive answer Razavo 7 10 >/dev/null || true   # do not save
drive wait-gone 30 >/dev/null || fail "the editor did not close"
start_editor "$(win "$work/base.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
drive click-wave 0.5 >/dev/null
cursor=$(drive field 109 | seconds)
fed_at=$(date +%s.%N)
feed "$work/later.raw"
drive post 3001 >/dev/null
drive dialog-wait "Record Control" 30 >/dev/null || fail "the record dialog did not open"
# 3 s of silence, the burst, 3 s of silence: the dialog waits until the burst
# comes, and OK comes well after it.
status=$(drive dialog-get "Record Control" 121)
if holds "$(date +%s.%N) < $fed_at + 2.8"; then
  [ "$status" = "Waiting for sound..." ] || fail "the dialog does not wait for sound: $status"
else
  echo "(the dialog took long to open: the waiting is not checked)"
fi
sleep "$(awk "BEGIN { s = $fed_at + 7 - $(date +%s.%N); print (s > 0 ? s : 0) }")"
drive answer "Record Control" 1 10 >/dev/null || fail "OK could not be pressed"
drive dialog-gone "Record Control" 20 >/dev/null || fail "the record dialog stayed open"
start=$(drive field 106 | seconds)
recorded=$(drive field 108 | seconds)
total=$(drive field 130 | seconds)
echo "cursor $cursor s; recorded $recorded s at $start s; the file is now $total s"
save_active_as "$work/with_recording.wav"
for _ in $(seq 100); do [ -s "$work/with_recording.wav" ] && break; sleep 0.1; done
sleep 0.5
wine "$check" stretches "$(win "$work/with_recording.wav")" 2 44100 | tr -d '\r'
[ "$start" = "$cursor" ] || fail "the recording went in at $start s, not at the cursor ($cursor s)"
# The 2 s burst, the end of the block before it and 50 ms after its last block.
holds "$recorded >= 2.0 && $recorded <= 2.3" || fail "the recording kept $recorded s of a 2 s burst"
holds "$total > 1.99 + $recorded && $total < 2.01 + $recorded" || fail "the file is $total s, not 2 s + $recorded s"
drive command 2001 >/dev/null   # Undo
[ "$(drive field 130 | seconds)" = 2.00 ] || fail "Undo left $(drive field 130)"
stop_feeding

echo "-- Without Autostart the dialog waits for Record; Advanced Settings keep the threshold in range"
wine reg add "$recorder_key" /v Autostart /d 0 /f >/dev/null
drive post 3001 >/dev/null
drive dialog-wait "Record Control" 30 >/dev/null || fail "the record dialog did not open"
sleep 0.5
[ "$(drive dialog-get "Record Control" 121)" = "Stopped" ] || fail "the dialog recorded without Autostart"
drive answer "Record Control" 109 5 >/dev/null
drive dialog-wait "Advanced Settings" 10 >/dev/null || fail "Advanced Settings did not open"
sleep 0.5
import -window root "$work/advanced.png" || true
drive dialog-set "Advanced Settings" 104 -50 >/dev/null
drive answer "Advanced Settings" 1 5 >/dev/null
drive dialog-gone "Advanced Settings" 10 >/dev/null || fail "Advanced Settings stayed open"
threshold=$(wine reg query "$recorder_key" /v Threshold 2>/dev/null | tr -d '\r' | awk '$1 == "Threshold" {print $3}')
[ "$threshold" = -40 ] || fail "a threshold of -50 was stored as $threshold"
drive answer "Record Control" 110 5 >/dev/null   # Record
sleep 1
[ "$(drive dialog-get "Record Control" 121)" = "Waiting for sound..." ] || fail "Record did not start the capture"
drive answer "Record Control" 2 5 >/dev/null     # Cancel
drive dialog-gone "Record Control" 20 >/dev/null || fail "Cancel did not close the record dialog"
[ "$(drive field 130 | seconds)" = 2.00 ] || fail "Cancel changed the file: $(drive field 130)"

drive close >/dev/null
drive answer Razavo 7 10 >/dev/null || true
drive wait-gone 30 >/dev/null || fail "the editor did not exit"
echo "record end-to-end: 1 passed, 0 failed"
