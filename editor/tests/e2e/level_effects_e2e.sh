#!/usr/bin/env bash
# End-to-end test of the level effects' dialogs (Amplify, Normalize, Dynamic
# Range Compressor, Stereo Pan, Envelope with its curve control): drives them
# like a user, checks what they refuse and what they store, and compares the
# saved sound with sox's own computation. Saves screenshots of every dialog.
# Usage: level_effects_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=level_effects
source "$(dirname "$0")/e2e_common.sh"
values_key='HKCU\Software\Zedirad\Razavo\StoredValues'
# A failure leaves a picture of the screen behind.
fail() {
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "FAIL: $*" >&2
  show_editor_log
  exit 1
}

stored() { wine reg query "$values_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {print $3}'; }
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
raw() { sox -V1 "$1" -t raw -e signed -b 16 "$2"; }
# The largest difference between two sounds of one format, in 16-bit steps.
difference() {
  sox -V1 -m -v 1 "$1" -v -1 "$2" -n stat 2>&1 |
    awk '/^Maximum amplitude|^Minimum amplitude/ {v = $3 < 0 ? -$3 : $3; if (v > m) m = v}
         END {printf "%d\n", m * 32768 + 0.5}'
}
# The fixed-point gain ramps of an envelope may lag the exact line by about
# 0.1 % of the sample: the largest excess of |A - B| over 2 steps plus
# |REFERENCE| / 1024, in 16-bit steps (0 when within).
excess_over_ramp_tolerance() {
  paste <(sox -V1 "$1" -t dat - | grep -v '^;') <(sox -V1 "$2" -t dat - | grep -v '^;') \
    <(sox -V1 "$3" -t dat - | grep -v '^;') |
    awk '{ n = NF / 3
           for (c = 2; c <= n; ++c) {
             r = $c * 32768; d = ($(n + c) - $(2 * n + c)) * 32768
             e = (d < 0 ? -d : d) - 2 - (r < 0 ? -r : r) / 1024
             if (e > m) m = e } }
         END { printf "%d\n", (m > 0 ? m + 1 : 0) }'
}
message_text() { drive dialog-get "$1" 65535; }  # the text of a message box
# Opens an effect's dialog by its command and waits for it.
open_dialog() {
  drive post "$1" >/dev/null || fail "the editor is gone"
  drive dialog-wait "$2" 20 || fail "no dialog \"$2\""
}
# Clicks a dialog's button and waits until the dialog has gone.
close_dialog() { drive answer "$1" "$2" 20 >/dev/null; drive dialog-gone "$1" 60 || fail "\"$1\" stayed open"; }
# Clicks OK and expects the dialog to stay open with MESSAGE.
refused() {
  local title=$1 message=$2
  drive answer "$title" 1 20 >/dev/null
  drive dialog-wait "Invalid value" 20 || fail "$title: no message"
  [ "$(message_text "Invalid value")" = "$message" ] || fail "$title said: $(message_text "Invalid value")"
  drive answer "Invalid value" 1 20 >/dev/null
  drive dialog-gone "Invalid value" 20 || fail "the message stayed"
  drive dialog-wait "$title" 2 || fail "$title closed after a refused value"
}

# Stereo with different channels, and mono.
sox -V1 -n -r 22050 -c 2 -b 16 "$work/stereo.wav" synth 2 sine 440 sine 620 vol 0.5
sox -V1 -n -r 22050 -c 1 -b 16 "$work/mono.wav" synth 1 sine 300 vol 0.5
start_editor "$(win "$work/stereo.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- Amplify: the Half Volume preset halves the sound"
open_dialog 4001 Amplify
[ "$(drive dialog-get Amplify 101)" = 100 ] || fail "Amplify starts at $(drive dialog-get Amplify 101)"
drive dialog-pick Amplify 103 2 >/dev/null
[ "$(drive dialog-get Amplify 101)" = 50 ] || fail "Half Volume gave $(drive dialog-get Amplify 101)"
drive dialog-pick Amplify 103 0 >/dev/null   # "Select Preset" leaves the value alone
[ "$(drive dialog-get Amplify 101)" = 50 ] || fail "Select Preset changed the value"
shot amplify
close_dialog Amplify 1
[ "$(stored AmplifyGain)" = 50 ] || fail "AmplifyGain stored as $(stored AmplifyGain)"
save_active_as "$work/half.wav"
sox -V1 -D "$work/stereo.wav" "$work/half-by-sox.wav" vol 0.5
[ "$(difference "$work/half.wav" "$work/half-by-sox.wav")" -le 1 ] || fail "Half Volume differs from sox's"

echo "-- Amplify refuses 401 and text, and keeps the dialog open"
open_dialog 4001 Amplify
[ "$(drive dialog-get Amplify 101)" = 50 ] || fail "Amplify did not start at the stored 50"
drive dialog-set Amplify 101 401 >/dev/null
refused Amplify "Amplify Gain must be less than 400%. Please try again."
shot amplify-refused
drive dialog-set Amplify 101 "12x" >/dev/null
refused Amplify "Please enter the Amplify Gain as a whole number of percent."
close_dialog Amplify 2
[ "$(stored AmplifyGain)" = 50 ] || fail "a refused value was stored"

echo "-- Normalize: the refusal and a preset level"
open_dialog 4002 Normalize
drive dialog-set Normalize 102 101 >/dev/null
refused Normalize "Normailze Peak Level must be less than 100%. Please try again."
drive dialog-set Normalize 102 -5 >/dev/null
refused Normalize "Normalize Peak Level cannot be negative. Please try again."
drive dialog-pick Normalize 103 3 >/dev/null   # Normal Audio Level
[ "$(drive dialog-get Normalize 102)" = 75 ] || fail "Normal Audio Level gave $(drive dialog-get Normalize 102)"
shot normalize
close_dialog Normalize 1
save_active_as "$work/normalized.wav"
peak=$(sox -V1 "$work/normalized.wav" -n stat 2>&1 | awk '/^Maximum amplitude/ {printf "%d\n", $3 * 1000 + 0.5}')
[ "$peak" -ge 745 ] && [ "$peak" -le 755 ] || fail "Normalize to 75 % gave a peak of $peak per mille"
drive command 2001 >/dev/null   # Undo

echo "-- Dynamic Range Compressor: presets fill all three values"
open_dialog 4012 "Dynamic Range Compressor"
title="Dynamic Range Compressor"
[ "$(drive dialog-get "$title" 102)" = "1:1" ] || fail "the stored ratio 0 shows $(drive dialog-get "$title" 102)"
drive dialog-pick "$title" 104 2 >/dev/null
values="$(drive dialog-get "$title" 101) $(drive dialog-get "$title" 102) $(drive dialog-get "$title" 103)"
[ "$values" = "-6 2:1 3" ] || fail "TV / Radio Advertisement gave $values"
drive dialog-pick "$title" 104 1 >/dev/null
values="$(drive dialog-get "$title" 101) $(drive dialog-get "$title" 102) $(drive dialog-get "$title" 103)"
[ "$values" = "-10 3:2 4" ] || fail "General Voice Level gave $values"
shot compressor
drive dialog-set "$title" 103 200 >/dev/null
refused "$title" "Limit must be a whole number of dB from -127 to 127 (127 for no limit). Please try again."
drive dialog-set "$title" 103 4 >/dev/null
close_dialog "$title" 1
values="$(stored CompressorThreshold) $(stored CompressorRatio) $(stored CompressorLimit)"
[ "$values" = "-10 1 4" ] || fail "the compressor stored $values"
drive command 2001 >/dev/null   # Undo

echo "-- Stereo Pan on a stereo file: the track bar dialog"
open_dialog 4022 "Stereo Pan"
gains=$(drive dialog-get "Stereo Pan" 102)
[ "$gains" = "Left +0 dB, right +0 dB" ] || fail "pan gains: $gains"
shot stereo-pan
close_dialog "Stereo Pan" 2

echo "-- Envelope: Cancel leaves envelope.dat alone; Set Flat and OK store the flat curve"
save_active_as "$work/before.wav"
printf '\x03\x00\x80\x80\x00\xff\x80' >"$data_folder/envelope.dat"
cp "$data_folder/envelope.dat" "$work/dip.dat"
open_dialog 4008 Envelope
shot envelope-dip
close_dialog Envelope 2
cmp -s "$data_folder/envelope.dat" "$work/dip.dat" || fail "Cancel changed envelope.dat"
open_dialog 4008 Envelope
drive answer Envelope 102 20 >/dev/null   # Set Flat
shot envelope-flat
close_dialog Envelope 1
[ "$(od -An -tx1 "$data_folder/envelope.dat" | tr -d ' \n')" = 020080ff80 ] ||
  fail "envelope.dat after Set Flat: $(od -An -tx1 "$data_folder/envelope.dat")"
save_active_as "$work/flat.wav"
raw "$work/before.wav" "$work/before.raw"
raw "$work/flat.wav" "$work/flat.raw"
cmp -s "$work/before.raw" "$work/flat.raw" || fail "the flat envelope changed the sound"

echo "-- Envelope: a stored fade-in applies as sox's linear fade"
printf '\x02\x00\x00\xff\x80' >"$data_folder/envelope.dat"
open_dialog 4008 Envelope
shot envelope-fade-in
close_dialog Envelope 1
save_active_as "$work/faded.wav"
frames=$(soxi -s "$work/before.wav")
sox -V1 -D "$work/before.wav" "$work/faded-by-sox.wav" fade t "${frames}s"
excess=$(excess_over_ramp_tolerance "$work/before.wav" "$work/faded.wav" "$work/faded-by-sox.wav")
[ "$excess" = 0 ] || fail "the fade-in differs from sox's by $excess steps more than rounding"
drive command 2001 >/dev/null   # Undo

echo "-- Envelope: points added, dragged and removed with the mouse"
open_dialog 4008 Envelope
drive answer Envelope 102 20 >/dev/null                         # Set Flat
drive dialog-click Envelope 101 0.5 0.2 >/dev/null              # A: above 100 % in the middle
drive dialog-click Envelope 101 0.75 0.8 >/dev/null             # B: below 100 %, later
drive dialog-click Envelope 101 0.75 0.8 0.1 0.9 >/dev/null     # B dragged far left: it stops at A
drive dialog-click Envelope 101 0.3 0.5 >/dev/null              # C, before A
drive dialog-click Envelope 101 0.3 0.5 right >/dev/null        # and gone again
[ -n "$(drive dialog-get Envelope 103)" ] || fail "no readout of the chosen point"
shot envelope-edited
close_dialog Envelope 1
read -r count p0 l0 pa la pb lb p3 l3 rest <<<"$(od -An -tu1 "$data_folder/envelope.dat")"
[ "$count $p0 $l0 $p3 $l3" = "4 0 128 255 128" ] && [ -z "${rest:-}" ] ||
  fail "edited curve: $(od -An -tu1 "$data_folder/envelope.dat")"
[ "$pa" -gt 100 ] && [ "$pa" -lt 155 ] && [ "$la" -gt 150 ] || fail "the added point is at $pa, level $la"
[ "$pb" = "$pa" ] && [ "$lb" -lt 64 ] || fail "the dragged point is at $pb, level $lb"
drive command 2001 >/dev/null   # Undo

echo "-- Stereo Pan on a mono file: the message, and nothing else"
wine "$editor" "$(win "$work/mono.wav")" >/dev/null 2>&1
[ "$(drive documents | sort | tr '\n' ' ')" = "faded.wav mono.wav " ] || fail "documents: $(drive documents)"
drive post 4022 >/dev/null
drive dialog-wait "Convert to Stereo Required" 20 || fail "no message for a mono file"
expected="This effect can only be applied to stereo file. Please convert the file to stereo by using"
expected+=" File->Convert Channels->Stereo and try again."
said=$(message_text "Convert to Stereo Required")
[ "$said" = "$expected" ] || fail "mono message: $said"
shot stereo-pan-mono
drive answer "Convert to Stereo Required" 1 20 >/dev/null
drive dialog-gone "Convert to Stereo Required" 20 || fail "the message stayed"
! drive dialog-wait "Stereo Pan" 2 || fail "the Stereo Pan dialog opened for a mono file"
# No undo step was opened, so the file closes without a question.
drive post 1003 >/dev/null
! drive answer Razavo 7 3 >/dev/null || fail "closing the mono file asked to save it"
[ "$(drive documents)" = "faded.wav" ] || fail "documents after closing: $(drive documents)"

drive close >/dev/null
while drive answer Razavo 7 5 >/dev/null; do sleep 0.2; done
drive wait-gone 30 || fail "the editor did not exit"
echo "level effects end-to-end: 1 passed, 0 failed"
