#!/usr/bin/env bash
# End-to-end test of noise reduction and click repair through their dialogs:
# the multi-band gate, automatic spectral subtraction, grabbing a noise
# sample and subtracting it, and automatic and manual click repair. Checks
# the values they store, the messages that refuse a value, a selection or a
# sample, and the saved sound (noise quieter, clicks gone). Saves screenshots
# of every dialog.
# Usage: noise_repair_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=noise_repair
source "$(dirname "$0")/e2e_common.sh"
values_key='HKCU\Software\Zedirad\Razavo\StoredValues'
fail() {
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "FAIL: $*" >&2
  show_editor_log
  exit 1
}
stored() { wine reg query "$2" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {print $3}'; }
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
open_dialog() {
  drive post "$1" >/dev/null || fail "the editor is gone"
  drive dialog-wait "$2" 20 || fail "no dialog \"$2\""
}
close_dialog() { drive answer "$1" "$2" 20 >/dev/null; drive dialog-gone "$1" 60 || fail "\"$1\" stayed open"; }
expect_message() {
  drive dialog-wait "$1" 20 || fail "no message \"$2\""
  local said
  said=$(drive dialog-get "$1" 65535)
  [ "$said" = "$2" ] || fail "the message says \"$said\", not \"$2\""
  shot "message-$3"
  drive answer "$1" 1 20 >/dev/null
  drive dialog-gone "$1" 20 || fail "the message \"$2\" did not close"
}
# Clicks OK and expects the dialog to stay open with MESSAGE.
refused() {
  drive answer "$1" 1 20 >/dev/null
  expect_message "Invalid value" "$2" "refused-$3"
  drive dialog-wait "$1" 2 || fail "$1 closed after a refused value"
}
select_time() {
  drive post 2027 >/dev/null
  drive dialog-set "Select Specified Time" 101 "$1"
  drive dialog-set "Select Specified Time" 102 "$2"
  close_dialog "Select Specified Time" 1
}
# RMS of the first SECONDS of a file, in dB.
lead_level() { sox -V1 "$1" -n trim 0 "$2" stat 2>&1 | awk '/^RMS +amplitude/ {printf "%d\n", 20 * log($3) / log(10) - 0.5}'; }
peak_per_mille() { sox -V1 "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ {printf "%d\n", $3 * 1000 + 0.5}'; }
frames_of() { soxi -s "$1"; }

# Speech after three seconds of hiss alone, 44,100 Hz mono; a stereo file.
espeak-ng -w "$work/voice-raw.wav" "Noise reduction takes the hiss away and leaves the voice." ||
  fail "espeak-ng could not speak"
sox -V1 "$work/voice-raw.wav" -r 44100 -b 16 "$work/voice.wav" pad 3 4 gain -n -6
sox -V1 -n -r 44100 -c 1 -b 16 "$work/hiss.wav" synth "$(soxi -D "$work/voice.wav")" whitenoise vol 0.01
sox -V1 -m -v 1 "$work/voice.wav" -v 1 "$work/hiss.wav" "$work/noisy.wav"
sox -V1 -n -r 44100 -c 2 -b 16 "$work/stereo.wav" synth 2 whitenoise vol 0.05
noisy_lead=$(lead_level "$work/noisy.wav" 2.5)
start_editor "$(win "$work/noisy.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- Multi-band noise gating: the preset, a refused level, and the hiss gated"
open_dialog 4010 "Noise Reduction"
[ "$(drive dialog-get "Noise Reduction" 101)" = -30 ] || fail "the gate starts at $(drive dialog-get "Noise Reduction" 101)"
drive dialog-pick "Noise Reduction" 102 1 >/dev/null
[ "$(drive dialog-get "Noise Reduction" 101)" = -20 ] || fail "Remove Hum and Hiss gave $(drive dialog-get "Noise Reduction" 101)"
shot noise-gate
drive dialog-set "Noise Reduction" 101 200 >/dev/null
refused "Noise Reduction" "Noise Gate Level must be a whole number of dB from -127 to 127. Please try again." gate
drive dialog-set "Noise Reduction" 101 -30 >/dev/null
close_dialog "Noise Reduction" 1
[ "$(stored NoiseGateLevel "$values_key")" = -30 ] || fail "NoiseGateLevel stored as $(stored NoiseGateLevel "$values_key")"
save_active_as "$work/gated.wav"
[ "$(frames_of "$work/gated.wav")" = "$(frames_of "$work/noisy.wav")" ] || fail "the gate changed the length"
gated_lead=$(lead_level "$work/gated.wav" 2.5)
[ "$gated_lead" -le $((noisy_lead - 10)) ] || fail "the gate left the hiss at $gated_lead dB (was $noisy_lead dB)"
drive command 2001 >/dev/null   # Undo

echo "-- Auto spectral subtraction: presets, a refused proportion, the hiss taken out"
open_dialog 4023 "Auto Spectral Noise Reduction"
title="Auto Spectral Noise Reduction"
[ "$(drive dialog-get "$title" 101)" = 30 ] || fail "the proportion starts at $(drive dialog-get "$title" 101)"
drive dialog-pick "$title" 103 1 >/dev/null
[ "$(drive dialog-get "$title" 101)" = 20 ] || fail "Apply to Voice gave $(drive dialog-get "$title" 101)"
drive dialog-pick "$title" 103 2 >/dev/null
[ "$(drive dialog-get "$title" 101)" = 10 ] || fail "Apply to Music gave $(drive dialog-get "$title" 101)"
shot auto-spectral
drive dialog-set "$title" 101 0 >/dev/null
refused "$title" "Silence to Audio Proportion must be a whole number of percent from 1 to 99. Please try again." auto
drive dialog-set "$title" 101 30 >/dev/null
close_dialog "$title" 1
[ "$(stored SSNoiseThreshold "$values_key")" = 30 ] || fail "SSNoiseThreshold stored as $(stored SSNoiseThreshold "$values_key")"
save_active_as "$work/auto.wav"
[ "$(frames_of "$work/auto.wav")" = "$(frames_of "$work/noisy.wav")" ] || fail "the subtraction changed the length"
auto_lead=$(lead_level "$work/auto.wav" 2.5)
[ "$auto_lead" -le $((noisy_lead - 12)) ] || fail "auto subtraction left the hiss at $auto_lead dB (was $noisy_lead dB)"
drive command 2001 >/dev/null   # Undo

echo "-- Noise sample: nine seconds are refused, two and a half are kept and subtracted"
select_time "0:00:00.000" "0:00:09.000"
drive post 4024 >/dev/null
expect_message "Manual Noise Reduction Error" \
  "You cannot sample an area of your audio longer than 8 seconds. Please select a shorter area." too-long
select_time "0:00:00.000" "0:00:02.500"
drive command 4024 >/dev/null
drive command 2007 >/dev/null   # Select All
drive post 4025 >/dev/null
drive dialog-gone "Manual Noise Reduction Error" 1 || fail "the kept sample was refused"
sleep 1
save_active_as "$work/from-sample.wav"
sample_lead=$(lead_level "$work/from-sample.wav" 2.5)
[ "$sample_lead" -le $((noisy_lead - 12)) ] || fail "the sample's subtraction left the hiss at $sample_lead dB"
drive command 2001 >/dev/null   # Undo
save_active_as "$work/undone.wav"
sox -V1 "$work/noisy.wav" -t raw "$work/noisy.raw"
sox -V1 "$work/undone.wav" -t raw "$work/undone.raw"
cmp -s "$work/noisy.raw" "$work/undone.raw" || fail "Undo did not bring the noisy sound back"

echo "-- Noise sample: a stereo file does not fit the mono sample"
wine "$editor" "$(win "$work/stereo.wav")" >/dev/null 2>&1
drive post 4025 >/dev/null
expect_message "Manual Noise Reduction Error" \
  "The noise sample you took is not compatible with the selection you are attempting to apply it to." incompatible
drive post 1003 >/dev/null   # no undo step: closes without a question
! drive answer Razavo 7 3 >/dev/null || fail "closing the stereo file asked to save it"

echo "-- Auto click/pop restoration: its dialog, a refused length, the clicks gone"
# Clicks every 0.37 s through the speech: bursts of 1 to 19 frames at 90 %.
sox -V1 "$work/voice.wav" -t dat - | awk '
  /^;/ { print; next }
  { n = NR; v = $2; k = (n % 16317); len = 1 + int(n / 16317) % 19
    if (k < len) v = (k % 2 ? -0.9 : 0.9) * (len - k) / len
    printf "%s %.6f\n", $1, v }' >"$work/clicked.dat"
sox -V1 "$work/clicked.dat" -r 44100 -b 16 "$work/clicked.wav"
wine "$editor" "$(win "$work/clicked.wav")" >/dev/null 2>&1
title="Auto Click/Pop Restoration "
open_dialog 7009 "$title"
[ "$(drive dialog-get "$title" 102)" = 450 ] || fail "the longest click starts at $(drive dialog-get "$title" 102)"
drive dialog-set "$title" 102 999 >/dev/null
drive answer "$title" 103 20 >/dev/null   # Reset Defaults
[ "$(drive dialog-get "$title" 102)" = 450 ] || fail "Reset Defaults gave $(drive dialog-get "$title" 102)"
shot click-repair
drive dialog-set "$title" 102 0 >/dev/null
refused "$title" "Maximum Click Length must be a whole number of microseconds from 1 to 1000000. Please try again." click
drive dialog-set "$title" 102 450 >/dev/null
close_dialog "$title" 1
settings='HKCU\Software\Zedirad\Razavo\Settings'
[ "$(stored ClickSensitivity "$settings") $(stored MaxClickLength "$settings")" = "50 450" ] ||
  fail "stored $(stored ClickSensitivity "$settings") $(stored MaxClickLength "$settings")"
save_active_as "$work/declicked.wav"
[ "$(peak_per_mille "$work/clicked.wav")" -ge 880 ] || fail "the clicks were not made"
peak=$(peak_per_mille "$work/declicked.wav")
voice_peak=$(peak_per_mille "$work/voice.wav")
[ "$peak" -le $((voice_peak + 150)) ] || fail "clicks are left: peak $peak per mille (the voice's is $voice_peak)"

echo "-- Manual click/pop repair: a millisecond is repaired, ten are refused"
drive command 2001 >/dev/null   # Undo
select_time "0:00:00.360" "0:00:00.361"
drive command 7010 >/dev/null
drive dialog-gone Razavo 1 || fail "a millisecond was refused"
select_time "0:00:01.000" "0:00:01.010"
drive post 7010 >/dev/null
expect_message Razavo "Razavo cannot do a manual reduction of an area this size. Please select a smaller area." manual

drive close >/dev/null
while drive answer Razavo 7 5 >/dev/null; do sleep 0.2; done
drive wait-gone 30 || fail "the editor did not exit"
echo "noise reduction and click repair end-to-end: 1 passed, 0 failed"
