#!/usr/bin/env bash
# End-to-end test of the two analysis windows on a stereo file from sox (the
# left channel an exponential sweep from 200 to 8,000 Hz, the right a steady
# 2,000 Hz): the spectrum at the cursor and its read-out under the mouse,
# the spectrogram of a short selection with its read-out, zoom setting and
# Reselect, and for the whole file the question about long selections (No
# ends the command) and Cancel in the progress dialog, which closes the
# window. Saves a screenshot of each window.
# Usage: frequency_analysis_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=frequency_analysis
source "$(dirname "$0")/e2e_common.sh"
fail() {
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "FAIL: $*" >&2
  show_editor_log
  exit 1
}
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
setting() { wine reg query "$settings_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {print $3}'; }
# The read-out of window CLASS with the mouse at fractions X, Y.
readout() { drive child "$1" "$2" "$3" | sed -n 2p; }

# Ten minutes, so that the spectrogram of all of it takes long enough to cancel.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/sweep.wav" synth 600 sine 200-8000 sine 2000 gain -3
start_editor "$(win "$work/sweep.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
for _ in $(seq 100); do
  [ "$(drive documents)" = "sweep.wav" ] && break
  sleep 0.3
done
[ "$(drive documents)" = "sweep.wav" ] || fail "the sound did not open: $(drive documents)"

echo "-- the spectrum at the cursor, half way (the sweep at about 1,265 Hz)"
drive click-wave 0.5 >/dev/null
drive command 7001 >/dev/null
[ "$(drive child LFrequencyWindow | sed -n 1p)" = "Frequency Analysis" ] || fail "no Frequency Analysis window"
shot spectrum_arranged
# Large, so that the mouse lands where the test means it to.
drive child-maximize LFrequencyWindow >/dev/null
shot spectrum
# Across the graph: every read-out has the form "N Hz, N dB" and the
# frequencies rise from left to right.
last_hz=-1
for i in $(seq 10 5 95); do
  text=$(readout LFrequencyWindow "0.$(printf %02d "$i")" 0.5)
  [[ "$text" =~ ^([0-9]+)\ Hz,\ (-?[0-9]+)\ dB$ ]] || fail "read-out \"$text\" at 0.$i"
  [ "${BASH_REMATCH[1]}" -ge "$last_hz" ] || fail "the frequencies fall across the graph: $last_hz then ${BASH_REMATCH[1]} Hz"
  last_hz=${BASH_REMATCH[1]}
done
[ "$last_hz" -gt 18000 ] || fail "the graph does not reach near 22,050 Hz: $last_hz"
# Where the steady 2,000 Hz tone of the right channel must be, from the
# frequencies read at two places: the loudest read-out around it.
loudest_near() {  # CLASS HZ AXIS(x|y) OTHER_FRACTION: prints "HZ DB" of the loudest read-out
  local class=$1 target=$2 axis=$3 other=$4 at a b ha hb hz db best_hz=0 best_db=-999
  a=0.2 b=0.8
  hz_at() { if [ "$axis" = x ]; then readout "$class" "$1" "$other"; else readout "$class" "$other" "$1"; fi |
            grep -oE '[0-9]+ Hz' | grep -oE '[0-9]+'; }
  ha=$(hz_at $a) hb=$(hz_at $b)
  at=$(awk -v a=$a -v b=$b -v ha="$ha" -v hb="$hb" -v t="$target" 'BEGIN {print a + (t - ha) * (b - a) / (hb - ha)}')
  for step in $(seq -8 8); do
    local f text
    f=$(awk -v at="$at" -v s="$step" 'BEGIN {printf "%.4f", at + s * 0.0005}')
    if [ "$axis" = x ]; then text=$(readout "$class" "$f" "$other"); else text=$(readout "$class" "$other" "$f"); fi
    hz=$(grep -oE '[0-9]+ Hz' <<<"$text" | grep -oE '[0-9]+') db=$(grep -oE -- '-?[0-9]+ dB' <<<"$text" | grep -oE -- '-?[0-9]+')
    if [ "$db" -gt "$best_db" ]; then best_db=$db best_hz=$hz; fi
  done
  echo "$best_hz $best_db"
}
read -r tone_hz tone_db < <(loudest_near LFrequencyWindow 2000 x 0.5)
echo "loudest read-out near 2,000 Hz: $tone_hz Hz, $tone_db dB"
[ "$tone_hz" -ge 1980 ] && [ "$tone_hz" -le 2020 ] || fail "the tone reads at $tone_hz Hz"
# A full-scale sine less 3 dB: 76 - 3 dB, less the window's loss between bins.
[ "$tone_db" -ge 70 ] && [ "$tone_db" -le 73 ] || fail "the 2,000 Hz tone reads $tone_db dB"
# Horizontal Zoom In shows half the range.
drive child-click LFrequencyWindow 202 >/dev/null
zoomed=$(readout LFrequencyWindow 0.95 0.5)
[[ "$zoomed" =~ ^([0-9]+)\ Hz ]] || fail "read-out after zooming: \"$zoomed\""
[ "${BASH_REMATCH[1]}" -lt 17000 ] && [ "${BASH_REMATCH[1]}" -gt 9000 ] ||
  fail "after Horizontal Zoom In the right edge reads ${BASH_REMATCH[1]} Hz"
shot spectrum_zoomed
drive child-click LFrequencyWindow 201 >/dev/null

echo "-- the spectrogram of about three seconds"
drive command 5017 >/dev/null   # back to the sound's window
drive drag-wave 0.5 0.505 >/dev/null
selection_start=$(drive field 106) selection_end=$(drive field 107)
echo "selection $selection_start - $selection_end"
[ "$selection_start" != "$selection_end" ] || fail "no selection made"
drive command 7005 >/dev/null
[ "$(drive child LTFFTWindow | sed -n 1p)" = "Temporal Frequency Analysis" ] ||
  fail "no Temporal Frequency Analysis window"
drive child-maximize LTFFTWindow >/dev/null
shot spectrogram
text=$(readout LTFFTWindow 0.5 0.5)
pattern='^Time: ([0-9]+):([0-9]{2}):([0-9]{2})\.([0-9])    Frequency: ([0-9]+) Hz    Volume: (-?[0-9]+) dB$'
[[ "$text" =~ $pattern ]] || fail "spectrogram read-out \"$text\""
[ "${BASH_REMATCH[2]}" = "05" ] || fail "the middle of the graph is not near 5 minutes: \"$text\""
read -r tone_hz tone_db < <(loudest_near LTFFTWindow 2000 y 0.5)
echo "loudest cell near 2,000 Hz: $tone_hz Hz, $tone_db dB"
[ "$tone_hz" -ge 1960 ] && [ "$tone_hz" -le 2040 ] || fail "the tone reads at $tone_hz Hz in the spectrogram"
# The same tone in one channel of two: their mean is 6 dB less.
[ "$tone_db" -ge 64 ] && [ "$tone_db" -le 67 ] || fail "the 2,000 Hz tone reads $tone_db dB in the spectrogram"
# The 0 - 4,000 Hz zoom is kept as a setting, and so is the grid.
drive child-click LTFFTWindow 303 >/dev/null
[ "$(setting TFFTFullZoomOn)" = 0 ] || fail "TFFTFullZoomOn is \"$(setting TFFTFullZoomOn)\" after zooming in"
text=$(readout LTFFTWindow 0.5 0.1)
[[ "$text" =~ $pattern ]] && [ "${BASH_REMATCH[5]}" -le 4000 ] && [ "${BASH_REMATCH[5]}" -ge 3000 ] ||
  fail "near the top of the zoomed graph: \"$text\""
shot spectrogram_zoomed
drive child-click LTFFTWindow 302 >/dev/null
[ "$(setting GridToggle)" = 0 ] || fail "GridToggle is \"$(setting GridToggle)\" after turning the grid off"
drive child-click LTFFTWindow 304 >/dev/null
[ "$(setting TFFTFullZoomOn)" = 1 ] || fail "TFFTFullZoomOn is \"$(setting TFFTFullZoomOn)\" after zooming out"
# Reselect brings the analysed region back after the selection changed.
drive command 5017 >/dev/null
drive command 2007 >/dev/null   # Select All
[ "$(drive field 106)" != "$selection_start" ] || [ "$(drive field 107)" != "$selection_end" ] ||
  fail "Select All left the selection as it was"
drive child-click LTFFTWindow 305 >/dev/null
[ "$(drive field 106)" = "$selection_start" ] && [ "$(drive field 107)" = "$selection_end" ] ||
  fail "Reselect gave $(drive field 106) - $(drive field 107), not $selection_start - $selection_end"

echo "-- the whole file: the question, then Cancel"
drive command 2007 >/dev/null
drive post 7005 >/dev/null
question=$(drive dialog-get Razavo 65535) || fail "no question about the long selection"
[[ "$question" == "The Temporal Analysis graph is usually only performed on short selections"* ]] ||
  fail "the question says \"$question\""
drive answer Razavo 7 10 >/dev/null || fail "could not answer No"
sleep 1
! drive dialog-wait "Calculating Temporal Frequency Data" 0 >/dev/null || fail "No went on to compute"
drive child LTFFTWindow >/dev/null || fail "No closed the analysis window"
drive post 7005 >/dev/null
drive answer Razavo 6 10 >/dev/null || fail "could not answer Yes"
drive dialog-read-cancel "Calculating Temporal Frequency Data" 60 100 >/dev/null ||
  fail "no progress dialog to cancel, or the analysis ended first"
drive dialog-gone "Calculating Temporal Frequency Data" 60 || fail "the progress dialog stayed after Cancel"
! drive child LTFFTWindow >/dev/null || fail "Cancel left the Temporal Frequency Analysis window open"
drive child LFrequencyWindow >/dev/null || fail "the Frequency Analysis window went too"

drive close >/dev/null
drive answer Razavo 7 10 >/dev/null 2>&1 || true
drive wait-gone 30 || fail "the editor did not exit"
echo "frequency analysis end-to-end: 1 passed, 0 failed"
