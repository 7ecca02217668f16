#!/usr/bin/env bash
# End-to-end test of an effect's progress dialog: on a sound long enough for
# the dialog to appear and stay, Automatic Gain Control's dialog is titled
# with the effect's name and shows its own two lines; Cancel leaves the
# sound as it was with no undo step (the file then closes without asking to
# save). The slow two-pass effect, so that Cancel comes before the end; the
# other effects' lines are checked in the descriptor table's unit tests.
# Usage: effect_progress_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=effect_progress
source "$(dirname "$0")/e2e_common.sh"

# Twenty minutes of noise, so that the effect runs for seconds.
sox -V1 -n -r 44100 -c 1 -b 16 "$work/long.wav" synth 1200 whitenoise vol 0.3
start_editor "$(win "$work/long.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
for _ in $(seq 100); do
  [ "$(drive documents)" = "long.wav" ] && break
  sleep 0.3
done
[ "$(drive documents)" = "long.wav" ] || fail "the sound did not open: $(drive documents)"

# Runs COMMAND; its progress dialog, titled TITLE, must show LINE1 and
# LINE2 (controls 100 and 101). Then cancels it.
expect_progress() {
  local command=$1 title=$2 line1=$3 line2=$4
  echo "-- $title: \"$line1\", \"$line2\""
  drive post "$command" >/dev/null
  local shown
  shown=$(drive dialog-read-cancel "$title" 60 100 101) ||
    fail "$title: no progress dialog to cancel, or the effect ended first"
  local shown1 shown2
  shown1=$(sed -n 1p <<<"$shown")
  shown2=$(sed -n 2p <<<"$shown")
  [ "$shown1" = "$line1" ] || fail "$title: the upper line says \"$shown1\""
  [ "$shown2" = "$line2" ] || fail "$title: the lower line says \"$shown2\""
  drive dialog-gone "$title" 60 || fail "$title: the progress dialog stayed after Cancel"
}

expect_progress 4009 "Automatic Gain Control" "Performing Automatic Gain Control" "Please Wait..."

# Nothing was changed, so closing asks nothing.
drive post 1003 >/dev/null
! drive answer Razavo 7 3 >/dev/null || fail "closing the file asked to save it: a cancelled effect changed it"
[ -z "$(drive documents)" ] || fail "documents after closing: $(drive documents)"

drive close >/dev/null
drive wait-gone 30 || fail "the editor did not exit"
echo "effect progress end-to-end: 1 passed, 0 failed"
