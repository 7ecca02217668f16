#!/usr/bin/env bash
# End-to-end test of effect previews with a sound device (a private
# PulseAudio server with a null sink, E2E_AUDIO in e2e_common.sh). Preview
# plays through its own player (a stream appears at the server), a second
# press stops it, Cancel stops it, and the device of the options is the one
# opened.
# Usage: effect_preview_audio_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=effect_preview_audio E2E_AUDIO=1
source "$(dirname "$0")/e2e_common.sh"

streams() { pactl list short sink-inputs | wc -l; }
# Waits until the server has COUNT playback streams.
wait_streams() {
  for _ in $(seq 40); do
    [ "$(streams)" = "$1" ] && return 0
    sleep 0.25
  done
  fail "$2 ($(streams) streams instead of $1)"
}
no_message() { ! drive dialog-wait Razavo 1 2>/dev/null || fail "$1"; }

sox -V1 -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 30 sine 440 vol 0.5
start_editor "$(win "$work/tone.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
[ "$(streams)" = 0 ] || fail "something plays before any preview"

echo "-- Preview plays; pressing it again stops; Cancel stops"
drive post 4015 >/dev/null   # Speed Change
drive dialog-wait "Speed Change" 20 || fail "no Speed Change dialog"
drive dialog-set "Speed Change" 101 150
drive answer "Speed Change" 110 20 >/dev/null
wait_streams 1 "Preview does not play"
no_message "Preview with a device said there is none"
drive answer "Speed Change" 110 20 >/dev/null
wait_streams 0 "a second press did not stop the preview"
drive answer "Speed Change" 110 20 >/dev/null
wait_streams 1 "a third press did not play again"
drive answer "Speed Change" 2 20 >/dev/null
drive dialog-gone "Speed Change" 20 || fail "Speed Change did not close on Cancel"
wait_streams 0 "Cancel did not stop the preview"
[ "$(drive field 130)" = "0:00:30.00" ] || fail "the preview changed the document: $(drive field 130)"

echo "-- OK stops the preview before the effect runs"
drive post 2027 >/dev/null   # Select Specified Time: 10 s to 12 s
drive dialog-set "Select Specified Time" 101 "0:00:10.000"
drive dialog-set "Select Specified Time" 102 "0:00:12.000"
drive answer "Select Specified Time" 1 20 >/dev/null
drive dialog-gone "Select Specified Time" 20 || fail "the selection dialog stayed"
drive post 4021 >/dev/null   # Cross Fade: two seconds either side of the join
drive dialog-wait CrossFade 20 || fail "no CrossFade dialog"
drive answer CrossFade 110 20 >/dev/null
wait_streams 1 "the CrossFade preview does not play"
drive answer CrossFade 1 20 >/dev/null
drive dialog-gone CrossFade 20 || fail "CrossFade did not close on OK"
wait_streams 0 "OK did not stop the preview"

echo "-- the preview opens the device of the options"
wine reg add "$settings_key" /v SoundOutDevice /d 9 /f >/dev/null   # there is no ninth device
drive post 4014 >/dev/null
drive dialog-wait "Speed and Pitch Change" 20 || fail "no Speed and Pitch Change dialog"
drive answer "Speed and Pitch Change" 110 20 >/dev/null
drive answer Razavo 1 20 >/dev/null || fail "a missing device of the options gave no message"
drive dialog-wait "Speed and Pitch Change" 5 || fail "the dialog closed"
[ "$(streams)" = 0 ] || fail "something plays on another device"
drive answer "Speed and Pitch Change" 2 20 >/dev/null
drive dialog-gone "Speed and Pitch Change" 20 || fail "Speed and Pitch Change did not close"

drive close >/dev/null
while drive answer Razavo 7 5 >/dev/null; do sleep 0.2; done
drive wait-gone 30 || fail "the editor did not exit"
echo "effect_preview_audio end-to-end: 1 passed, 0 failed"
