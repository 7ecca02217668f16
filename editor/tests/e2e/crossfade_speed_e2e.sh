#!/usr/bin/env bash
# End-to-end test of the Cross Fade, speed and pitch, and sample-rate
# dialogs: values typed into the real dialogs decide what the effect does,
# refused values keep the dialog open with their message, and Preview
# without a sound device (Xvfb has none) says so and leaves the dialog open.
# Usage: crossfade_speed_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=crossfade_speed
source "$(dirname "$0")/e2e_common.sh"

# Three seconds at 8 kHz (24,000 frames), two at 44.1 kHz stereo (88,200).
sox -V1 -n -r 8000 -c 1 -b 16 "$work/tone.wav" synth 3 sine 440 vol 0.5
sox -V1 -n -r 44100 -c 2 -b 16 "$work/rate.wav" synth 2 sine 330 vol 0.5

# Waits until the frame's length field (130) shows TEXT: the effect ran.
wait_length() {
  for _ in $(seq 50); do
    [ "$(drive field 130)" = "$1" ] && return 0
    sleep 0.2
  done
  fail "the length is $(drive field 130), not $1"
}
# Clicks Preview (110) in DIALOG: no device, so the player's message, and
# the dialog stays.
preview_without_device() {
  drive answer "$1" 110 20 || fail "no $1 dialog to preview from"
  drive answer Razavo 1 20 || fail "$1: Preview without a device gave no message"
  drive dialog-wait "$1" 5 || fail "$1 closed after Preview"
}
# Answers a message box titled TITLE after checking its text.
expect_message() {
  drive dialog-wait "$1" 20 || fail "no message \"$2\""
  local said
  said=$(drive dialog-get "$1" 65535)
  [ "$said" = "$2" ] || fail "the message says \"$said\", not \"$2\""
  drive answer "$1" 1 20 >/dev/null
  drive dialog-gone "$1" 20 || fail "the message \"$2\" did not close"
}

start_editor "$(win "$work/tone.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- a preview renders beside the document, which stays as it was"
drive post 4016 >/dev/null   # Pitch Change
drive dialog-wait "Pitch Change" 20 || fail "no Pitch Change dialog"
[ "$(drive dialog-get "Pitch Change" 100)" = "Pitch Adjust (%)" ] || fail "label $(drive dialog-get "Pitch Change" 100)"
drive dialog-set "Pitch Change" 101 150
preview_without_device "Pitch Change"
drive answer "Pitch Change" 2 20 >/dev/null
drive dialog-gone "Pitch Change" 20 || fail "Pitch Change did not close on Cancel"
save_active_as "$work/untouched.wav"
sox -V1 "$work/tone.wav" -t raw "$work/tone.raw"
sox -V1 "$work/untouched.wav" -t raw "$work/untouched.raw"
cmp -s "$work/tone.raw" "$work/untouched.raw" || fail "the preview changed the document"

echo "-- Cross Fade: the dialog shows the selection and takes its times"
drive post 2027 >/dev/null   # Select Specified Time: 1 s to 2 s
drive dialog-set "Select Specified Time" 101 "0:00:01.000"
drive dialog-set "Select Specified Time" 102 "0:00:02.000"
drive answer "Select Specified Time" 1 20 >/dev/null
drive dialog-gone "Select Specified Time" 20 || fail "the selection dialog stayed"
drive post 4021 >/dev/null
drive dialog-wait CrossFade 20 || fail "no CrossFade dialog"
[ "$(drive dialog-get CrossFade 104)" = "0:00:01.000" ] || fail "selection start $(drive dialog-get CrossFade 104)"
[ "$(drive dialog-get CrossFade 105)" = "0:00:02.000" ] || fail "selection end $(drive dialog-get CrossFade 105)"
[ "$(drive dialog-get CrossFade 101)" = 300 ] || fail "the gap does not start at 300"
drive dialog-set CrossFade 101 "a while"
drive answer CrossFade 1 20 >/dev/null
expect_message "Invalid value" "Please enter the gap and fade times as whole numbers of milliseconds, for example 300."
drive dialog-wait CrossFade 5 || fail "CrossFade closed on text that is not a number"
# Gap 100 ms, fade in 200 ms, fade out -40 ms (taken as 0): the selection
# goes and its end lands 800 frames after its start, so 24,000 - 8,000 + 800.
drive dialog-set CrossFade 101 100
drive dialog-set CrossFade 102 200
drive dialog-set CrossFade 103 -40
drive answer CrossFade 107 20 >/dev/null   # Update Graph
sleep 1
import -window root "$work/crossfade.png" || true
preview_without_device CrossFade
drive answer CrossFade 1 20 >/dev/null
drive dialog-gone CrossFade 20 || fail "CrossFade did not close on OK"
wait_length "0:00:02.10"
save_active_as "$work/crossfaded.wav"
[ "$(soxi -s "$work/crossfaded.wav")" = 16800 ] || fail "cross fade left $(soxi -s "$work/crossfaded.wav") frames"
stored=$(wine reg query 'HKCU\Software\Zedirad\Razavo\CrossFade' | tr -d '\r' | awk '$2 ~ /^REG_/ {print $1 "=" $3}' | sort | tr '\n' ' ')
[ "$stored" = "FadeInTimeMS=200 FadeOutTimeMS=0 GapTimeMS=100 " ] || fail "stored times: $stored"

echo "-- Speed Change: 301 % is refused in the open dialog, 200 % halves the length"
drive command 2007 >/dev/null   # Select All
drive post 4015 >/dev/null
drive dialog-wait "Speed Change" 20 || fail "no Speed Change dialog"
[ "$(drive dialog-get "Speed Change" 100)" = "Speed Adjust (%)" ] || fail "label $(drive dialog-get "Speed Change" 100)"
drive dialog-set "Speed Change" 101 301
drive answer "Speed Change" 1 20 >/dev/null
expect_message "Invalid value" "Speed Change Percent must be less than 300."
drive dialog-wait "Speed Change" 5 || fail "Speed Change closed on 301"
drive answer "Speed Change" 9 20 >/dev/null   # Help
drive dialog-wait "Speed Change Help" 20 || fail "Help showed nothing"
drive answer "Speed Change Help" 1 20 >/dev/null
drive dialog-set "Speed Change" 101 200
import -window root "$work/speed.png" || true
preview_without_device "Speed Change"
drive answer "Speed Change" 1 20 >/dev/null
drive dialog-gone "Speed Change" 20 || fail "Speed Change did not close on OK"
wait_length "0:00:01.05"
save_active_as "$work/faster.wav"
[ "$(soxi -s "$work/faster.wav")" = 8400 ] || fail "200 % gave $(soxi -s "$work/faster.wav") frames"
[ "$(wine reg query 'HKCU\Software\Zedirad\Razavo\StoredValues' /v ConstPitchSpeed | tr -d '\r' | awk '/ConstPitchSpeed/ {print $3}')" = 200 ] ||
  fail "200 % was not stored"

echo "-- Convert Sample Rate: 96001 is refused, 48000 converts"
wine "$editor" "$(win "$work/rate.wav")" >/dev/null 2>&1   # hands the file over and exits
drive post 1006 >/dev/null
drive dialog-wait "Convert Sample Rate" 20 || fail "no Convert Sample Rate dialog"
[ "$(drive dialog-get "Convert Sample Rate" 101)" = 44100 ] || fail "the rate does not start at the document's"
import -window root "$work/rate.png" || true
drive dialog-set "Convert Sample Rate" 101 96001
drive answer "Convert Sample Rate" 1 20 >/dev/null
expect_message "" "Sample rates must be between 6000 and 96000 samples per second."
drive dialog-wait "Convert Sample Rate" 5 || fail "Convert Sample Rate closed on 96001"
drive dialog-pick "Convert Sample Rate" 101 3   # the fourth rate listed: 48000
[ "$(drive dialog-get "Convert Sample Rate" 101)" = 48000 ] || fail "the list's fourth rate is $(drive dialog-get "Convert Sample Rate" 101)"
drive answer "Convert Sample Rate" 1 20 >/dev/null
drive dialog-gone "Convert Sample Rate" 20 || fail "Convert Sample Rate did not close on OK"
sleep 1
save_active_as "$work/rate48.wav"
[ "$(soxi -r "$work/rate48.wav")" = 48000 ] || fail "saved at $(soxi -r "$work/rate48.wav") Hz"
frames=$(soxi -s "$work/rate48.wav")
[ $((frames - 96000)) -le 2 ] && [ $((96000 - frames)) -le 2 ] || fail "48 kHz gave $frames frames, not about 96,000"

drive close >/dev/null
while drive answer Razavo 7 5 >/dev/null; do sleep 0.2; done
drive wait-gone 30 || fail "the editor did not exit"
echo "crossfade_speed end-to-end: 1 passed, 0 failed"
