#!/usr/bin/env bash
# End-to-end test of Text To Speech with an engine of the system's older kind:
# a test engine (zed_test_speech_modes.dll) registered in the prefix offers
# three modes, which head the voice list. Its modes speak a sine of their own
# pitch, 0.05 s a character, so the inserted audio tells which mode spoke how
# much text, and where it went. A mode that cannot be selected gives the
# no-engine message; Cancel of a long text leaves the file as it was.
# Usage: speech_modes_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=speech_modes
source "$(dirname "$0")/e2e_common.sh"

engine=$build/editor/zed_test_speech_modes.dll
[ -f "$engine" ] || fail "the test speech engine is not built (target zed_test_speech_modes)"
wine regsvr32 /s "$(win "$engine")" || fail "the test speech engine did not register"
trap 'stop_editor || true; wine regsvr32 /s /u "$(win "$engine")" >/dev/null 2>&1 || true' EXIT

frames() { soxi -s "$1"; }
# The rough frequency of FROM..FROM+COUNT frames of FILE, in Hz.
pitch() {  # FILE FROM COUNT
  sox "$1" -n trim "$2s" "$3s" stat 2>&1 | awk '/Rough +frequency/ {print $3}'
}
save_to() {  # FILE
  save_active_as "$1"
  for _ in $(seq 60); do [ -s "$1" ] && break; sleep 0.5; done
  [ -s "$1" ] || fail "the document was not saved to $1 (documents: $(drive documents))"
}
open_speech_dialog() {  # TEXT
  drive post 7004 >/dev/null
  drive dialog-wait "Synthesize Speech" 30 || fail "no Synthesize Speech dialog"
  drive dialog-set "Synthesize Speech" 101 "$1" >/dev/null
}
pick_voice() {  # INDEX; prints the entry's name
  drive dialog-pick "Synthesize Speech" 102 "$1" >/dev/null
  drive dialog-get "Synthesize Speech" 102
}

sox -V1 -n -r 44100 -c 1 -b 16 "$work/one.wav" synth 1 sine 440
start_editor "$(win "$work/one.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- the modes head the voice list; the chosen one speaks at the cursor"
open_speech_dialog "hello world"
count=$(drive dialog-count "Synthesize Speech" 102)
# The three modes, then at least the voice of the engine the editor carries.
[ "$count" -ge 4 ] || fail "the voice list has $count entries"
[ "$(pick_voice 0)" = "Zed Test Voice Low" ] || fail "the first entry is not the first mode"
[ "$(pick_voice 2)" = "Zed Test Voice Broken" ] || fail "the third entry is not the third mode"
[ "$(pick_voice 3)" != "Zed Test Voice Broken" ] || fail "the modes are listed twice"
[ "$(pick_voice 1)" = "Zed Test Voice High" ] || fail "the second entry is not the second mode"
import -window root "$work/speech-modes-dialog.png" || true
drive answer "Synthesize Speech" 1 10 >/dev/null
drive dialog-gone "Synthesize Speech" 20 || fail "the speech dialog stayed open"
save_to "$work/spoken.wav"
# Eleven characters of 2,205 frames each, before the one second of 440 Hz.
[ "$(frames "$work/spoken.wav")" = $((44100 + 11 * 2205)) ] ||
  fail "the spoken file has $(frames "$work/spoken.wav") frames"
high=$(pitch "$work/spoken.wav" 0 24255)
rest=$(pitch "$work/spoken.wav" 24255 44100)
awk -v f="$high" 'BEGIN { exit !(f > 550 && f < 650) }' || fail "the inserted speech is at $high Hz, not 600"
awk -v f="$rest" 'BEGIN { exit !(f > 400 && f < 480) }' || fail "the original sound after it is at $rest Hz"
[ "$(wine reg query "$settings_key" /v TextToSpeechVoice | tr -d '\r' | awk '/TextToSpeechVoice/ {print $3}')" = 1 ] ||
  fail "the chosen mode was not stored"

echo "-- a mode that cannot be selected: the no-engine message, nothing inserted"
open_speech_dialog "hello world"
[ "$(drive dialog-get "Synthesize Speech" 102)" = "Zed Test Voice High" ] || fail "the stored choice is not offered"
pick_voice 2 >/dev/null
drive answer "Synthesize Speech" 1 10 >/dev/null
drive dialog-wait Razavo 30 || fail "no message for a mode that cannot be selected"
drive dialog-controls Razavo | grep -q "cannot find a speech engine" || fail "the message is not the no-engine one"
drive answer Razavo 1 10 >/dev/null
drive dialog-gone Razavo 20 || fail "the message stayed open"
rm -f "$work/after-broken.wav"
save_to "$work/after-broken.wav"
[ "$(frames "$work/after-broken.wav")" = $((44100 + 11 * 2205)) ] || fail "the file changed without a mode"

echo "-- Cancel during a long text: the file stays as it was"
# 600 characters take the test engine six seconds or more.
open_speech_dialog "$(printf 'speak %.0s' $(seq 100))"
pick_voice 0 >/dev/null
drive answer "Synthesize Speech" 1 10 >/dev/null
drive dialog-wait "Text To Speech" 30 || fail "no progress while speaking"
sleep 1
drive answer "Text To Speech" 2 10 >/dev/null
drive dialog-gone "Text To Speech" 20 || fail "the progress stayed after Cancel"
if drive dialog-wait Razavo 2 >/dev/null 2>&1; then fail "Cancel was reported as a failure"; fi
save_to "$work/after-cancel.wav"
[ "$(frames "$work/after-cancel.wav")" = $((44100 + 11 * 2205)) ] ||
  fail "the file changed on Cancel: $(frames "$work/after-cancel.wav") frames"
stop_editor || fail "the editor did not close"
echo "PASS"
