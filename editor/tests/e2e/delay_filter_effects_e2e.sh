#!/usr/bin/env bash
# End-to-end test of the delay and filter effects' dialogs: presets and typed
# values, what they refuse and what they store, and the saved sound against
# an independent computation (awk for the echo, sox for the high-pass and the
# vocal reduction), the equalizer's curve window with its presets, settings
# and "equalizer.dat", and the effects without a dialog. Saves screenshots.
# Usage: delay_filter_effects_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=delay_filter_effects
source "$(dirname "$0")/e2e_common.sh"
values_key='HKCU\Software\Zedirad\Razavo'
fail() {
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "FAIL: $*" >&2
  show_editor_log
  exit 1
}

stored() { wine reg query "$values_key\\$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name {print $3}'; }
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
# The samples of a 16-bit file, one per line, channels interleaved.
samples() { sox -V1 "$1" -t raw -e signed -b 16 - | od -An -v -td2 -w2 | tr -d ' '; }
difference() {
  sox -V1 -m -v 1 "$1" -v -1 "$2" -n stat 2>&1 |
    awk '/^Maximum amplitude|^Minimum amplitude/ {v = $3 < 0 ? -$3 : $3; if (v > m) m = v}
         END {printf "%d\n", m * 32768 + 0.5}'
}
message_text() { drive dialog-get "$1" 65535; }
open_dialog() {
  drive post "$1" >/dev/null || fail "the editor is gone"
  drive dialog-wait "$2" 20 || fail "no dialog \"$2\""
}
close_dialog() { drive answer "$1" "$2" 20 >/dev/null; drive dialog-gone "$1" 60 || fail "\"$1\" stayed open"; }
refused() {
  local title=$1 message=$2
  drive answer "$title" 1 20 >/dev/null
  drive dialog-wait "Invalid value" 20 || fail "$title: no message"
  [ "$(message_text "Invalid value")" = "$message" ] || fail "$title said: $(message_text "Invalid value")"
  drive answer "Invalid value" 1 20 >/dev/null
  drive dialog-gone "Invalid value" 20 || fail "the message stayed"
  drive dialog-wait "$title" 10 || fail "$title closed after a refused value"
}
undo() { drive command 2001 >/dev/null; }

# 22,050 Hz stereo with different channels: the echo's reference in awk, on
# the internal samples (16-bit value times 16), saved back as (s + 8) >> 4.
sox -V1 -n -r 22050 -c 2 -b 16 "$work/stereo.wav" synth 1.5 sine 440 sine 620 vol 0.4
start_editor "$(win "$work/stereo.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
save_active_as "$work/before.wav"

echo "-- Echo: the Cave preset, stored, and the saved sound against the feedback formula"
open_dialog 4004 Echo
[ "$(drive dialog-get Echo 101) $(drive dialog-get Echo 102)" = "800 50" ] || fail "Echo starts at other values"
drive dialog-set Echo 101 3001 >/dev/null
refused Echo "Echo time must be between 10 and 3000ms. Please try again."
drive dialog-set Echo 101 3000 >/dev/null
drive dialog-set Echo 102 100 >/dev/null
refused Echo "Echo Gain must be less than 100%. Please try again."
drive dialog-pick Echo 105 2 >/dev/null   # Cave
[ "$(drive dialog-get Echo 101) $(drive dialog-get Echo 102)" = "400 40" ] || fail "Cave gave other values"
shot echo
close_dialog Echo 1
[ "$(stored StoredValues EchoTime) $(stored StoredValues EchoGain)" = "400 40" ] || fail "Echo values not stored"
save_active_as "$work/echo.wav"
samples "$work/before.wav" | awk -v delay=$((400 * 22050 / 1000 * 2)) -v g=$((40 * 512 / 100)) 'BEGIN { i = 0 }
  { x = $1 * 16; r = ring[i] + 0; p = g * r; y = x + (p - (p % 512 + 512) % 512) / 512
    ring[i] = y; i = (i + 1) % delay
    v = y + 8; print (v - (v % 16 + 16) % 16) / 16 }' >"$work/echo-expected.txt"
samples "$work/echo.wav" >"$work/echo-saved.txt"
cmp -s "$work/echo-expected.txt" "$work/echo-saved.txt" || fail "the echo differs from the formula"
undo

echo "-- High-Pass Filter: typed 250 Hz against sox highpass"
open_dialog 4011 "High-Pass Filter"
drive dialog-set "High-Pass Filter" 101 0 >/dev/null
refused "High-Pass Filter" "Frequency must be a whole number of Hz from 1 to 100000. Please try again."
drive dialog-set "High-Pass Filter" 101 250 >/dev/null
shot high-pass
close_dialog "High-Pass Filter" 1
[ "$(stored StoredValues LowCutFreq)" = 250 ] || fail "LowCutFreq stored as $(stored StoredValues LowCutFreq)"
save_active_as "$work/high-pass.wav"
sox -V1 -D "$work/before.wav" "$work/high-pass-by-sox.wav" highpass 250 0.707q
[ "$(difference "$work/high-pass.wav" "$work/high-pass-by-sox.wav")" -le 2 ] || fail "the high-pass differs from sox's"
undo

echo "-- Reverb, Phaser, Flanger, Chorus, Distortion: presets stored, refused values, the sound changed"
check_form() {  # command title preset section "keys" "expected values"
  local command=$1 title=$2 preset=$3 section=$4 keys=$5 expected=$6 values=""
  open_dialog "$command" "$title"
  drive dialog-pick "$title" 105 "$preset" >/dev/null
  shot "$(echo "$title" | tr 'A-Z ' 'a-z-')"
  close_dialog "$title" 1
  for key in $keys; do values="$values $(stored "$section" "$key")"; done
  [ "$values" = " $expected" ] || fail "$title stored$values, not $expected"
  save_active_as "$work/changed.wav"
  [ "$(difference "$work/before.wav" "$work/changed.wav")" -gt 10 ] || fail "$title left the sound as it was"
  undo
  save_active_as "$work/undone.wav"
  [ "$(difference "$work/before.wav" "$work/undone.wav")" = 0 ] || fail "undo after $title did not restore the sound"
}
check_form 4005 Reverb 3 StoredValues "ReverbLevel ReverbTime" "75 500"
check_form 4031 Phaser 1 Phaser "Time Gain" "3 100"
check_form 4035 Flanger 2 Flanger "Time Mod Depth Gain" "5 0.5 70 90"
check_form 4036 Chorus 4 Chorus "Time Mod Depth Gain" "65 0.5 5 50"
check_form 4032 Distortion 2 Distortion "Degree Level" "0.6 -8"
open_dialog 4036 Chorus
drive dialog-set Chorus 101 9 >/dev/null
refused Chorus "Delay Time must be between 10 and 100 milliseconds"
drive dialog-set Chorus 101 40 >/dev/null
drive dialog-set Chorus 102 2.5 >/dev/null
refused Chorus "Modulation (of delay) must be between 0 and 2Hz."
close_dialog Chorus 2
open_dialog 4032 Distortion
drive dialog-set Distortion 101 1.5 >/dev/null
refused Distortion "Delay Time must be between 0.0 and 1.0 milliseconds"
close_dialog Distortion 2

echo "-- Equalizer: Settings needs a preset; Set Flat leaves the sound; a band-pass preset and its settings"
rm -f "$data_folder/equalizer.dat"
open_dialog 4003 Equalizer
drive answer Equalizer 106 20 >/dev/null    # Settings with no preset
drive dialog-wait Settings 20 || fail "Settings without a preset said nothing"
[ "$(message_text Settings)" = "Please select a preset first before opening the Settings window." ] ||
  fail "Settings without a preset said: $(message_text Settings)"
drive answer Settings 1 20 >/dev/null
drive dialog-gone Settings 20 || fail "the message stayed"
drive answer Equalizer 102 20 >/dev/null    # Set Flat
close_dialog Equalizer 1
[ "$(od -An -tx1 "$data_folder/equalizer.dat" | tr -d ' \n')" = 020080ff80 ] ||
  fail "equalizer.dat after Set Flat: $(od -An -tx1 "$data_folder/equalizer.dat")"
save_active_as "$work/flat.wav"
[ "$(difference "$work/before.wav" "$work/flat.wav")" = 0 ] || fail "the flat equalizer changed the sound"
undo
open_dialog 4003 Equalizer
drive dialog-pick Equalizer 105 4 >/dev/null   # BandPass
drive answer Equalizer 106 20 >/dev/null       # its Settings
drive dialog-wait "Bandpass Settings " 20 || fail "no band-pass settings"
drive dialog-set "Bandpass Settings " 101 500 >/dev/null
drive dialog-set "Bandpass Settings " 102 530 >/dev/null
drive dialog-set "Bandpass Settings " 104 20 >/dev/null
shot equalizer-settings
close_dialog "Bandpass Settings " 1
[ -n "$(stored StoredValues EQWindowX)" ] || fail "the settings window's place was not stored"
[ "$(stored EQBandPass StartFreq) $(stored EQBandPass EndFreq)" = "500 530" ] || fail "band-pass settings not stored"
drive dialog-click Equalizer 101 0.62 0.3 >/dev/null   # a point added by hand
[ -n "$(drive dialog-get Equalizer 103)" ] || fail "no readout in the curve window"
drive dialog-get Equalizer 103 | grep -Eq '^[0-9]+Hz, [0-9]+% \(' || fail "readout: $(drive dialog-get Equalizer 103)"
shot equalizer
close_dialog Equalizer 1
[ "$(stored StoredValues EQPreset)" = 4 ] || fail "EQPreset stored as $(stored StoredValues EQPreset)"
save_active_as "$work/band.wav"
# The 440 Hz channel is cut (outside 480..550 Hz), the 620 Hz one too, less so; nothing is louder.
left=$(sox -V1 "$work/band.wav" -n remix 1 trim 0.3 0.9 stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
awk -v l="$left" 'BEGIN {exit !(l < 0.05)}' || fail "the band-pass kept 440 Hz at RMS $left"
undo

echo "-- Reduce Vocals writes left minus right to both channels; Telephone cuts 100 Hz"
drive command 4030 >/dev/null
save_active_as "$work/vocals.wav"
sox -V1 -D "$work/before.wav" "$work/vocals-by-sox.wav" remix -m 1,2i 1,2i
[ "$(difference "$work/vocals.wav" "$work/vocals-by-sox.wav")" -le 1 ] || fail "Reduce Vocals differs from sox's"
undo
drive command 4034 >/dev/null
save_active_as "$work/telephone.wav"
undo
drive command 4033 >/dev/null
save_active_as "$work/radio.wav"
undo
drive close >/dev/null
drive answer Razavo 7 5 >/dev/null 2>&1 || true
drive wait-gone 30 || fail "the editor did not exit"

sox -V1 -n -r 22050 -c 1 -b 16 "$work/low.wav" synth 2 sine 100 vol 0.5
start_editor "$(win "$work/low.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
drive command 4034 >/dev/null
save_active_as "$work/low-telephone.wav"
rms=$(sox -V1 "$work/low-telephone.wav" -n trim 0.3 1.4 stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
awk -v r="$rms" 'BEGIN {exit !(r < 0.01)}' || fail "the telephone effect kept 100 Hz at RMS $rms"
echo "-- Reduce Vocals on mono asks for stereo"
drive post 4030 >/dev/null
drive dialog-wait "Convert to Stereo Required" 20 || fail "no stereo question"
drive answer "Convert to Stereo Required" 2 20 >/dev/null
undo
drive close >/dev/null
drive answer Razavo 7 5 >/dev/null 2>&1 || true
drive wait-gone 30 || fail "the editor did not exit"
echo "PASS"
