#!/usr/bin/env bash
# End-to-end test of Text To Speech under Wine, where the system offers no
# voice: the editor speaks with the engine it carries, and the speech put
# into a new file lasts as long as, and rises and falls like, what Debian's
# espeak-ng says for the same text. Without the engine's data the command
# ends with the no-engine message and the file stays as it was.
# Usage: speech_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=speech
source "$(dirname "$0")/e2e_common.sh"

data=$build/editor/espeak-ng-data
restore_data() { [ ! -d "$data.away" ] || mv "$data.away" "$data"; }
trap 'restore_data; stop_editor || true' EXIT

text="The quick brown fox jumps over the lazy dog. Speech from text works everywhere."

# Types TEXT into the speech dialog and picks the voice at INDEX (or the last
# one when INDEX is "last").
speak() {  # TEXT INDEX
  drive post 7004 >/dev/null
  drive dialog-wait "Synthesize Speech" 30 || fail "no Synthesize Speech dialog"
  drive dialog-set "Synthesize Speech" 101 "$1" >/dev/null
  if [ "$2" = last ]; then
    count=$(drive dialog-count "Synthesize Speech" 102)
    [ "$count" -ge 1 ] || fail "the voice list is empty"
    drive dialog-pick "Synthesize Speech" 102 $((count - 1)) >/dev/null
  fi
  import -window root "$work/speech-dialog.png" || true
  drive answer "Synthesize Speech" 1 10 >/dev/null
  drive dialog-gone "Synthesize Speech" 20 || fail "the speech dialog stayed open"
}

echo "-- our own voice speaks into a new file"
start_editor
drive wait-frame 60 >/dev/null || fail "the editor did not start"
speak "$text" last
save_active_as "$work/spoken.wav"
for _ in $(seq 60); do [ -s "$work/spoken.wav" ] && break; sleep 0.5; done
[ -s "$work/spoken.wav" ] || fail "the spoken file was not saved (documents: $(drive documents))"
[ "$(wine reg query 'HKCU\Software\Zedirad\Razavo\Settings' /v TextToSpeechVoice | tr -d '\r' |
     awk '/TextToSpeechVoice/ {print $3}')" != "" ] || fail "the chosen voice was not stored"
espeak-ng -w "$work/native.wav" "$text"
python3 "$root/editor/tests/e2e/speech_compare.py" "$work/spoken.wav" "$work/native.wav" ||
  fail "the speech differs from espeak-ng's"
stop_editor || fail "the editor did not close"

echo "-- without the engine's data: the no-engine message, nothing inserted"
mv "$data" "$data.away"
sox -V1 -n -r 44100 -c 1 -b 16 "$work/one.wav" synth 1 sine 440
start_editor "$(win "$work/one.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
speak "$text" first
drive dialog-wait Razavo 30 || fail "no message without a speech engine"
drive dialog-controls Razavo | grep -q "cannot find a speech engine" || fail "the message is not the no-engine one"
drive answer Razavo 1 10 >/dev/null
drive dialog-gone Razavo 20 || fail "the message stayed open"
save_active_as "$work/unchanged.wav"
for _ in $(seq 60); do [ -s "$work/unchanged.wav" ] && break; sleep 0.5; done
[ "$(soxi -s "$work/unchanged.wav")" = 44100 ] || fail "the file changed: $(soxi -s "$work/unchanged.wav") frames"
restore_data
stop_editor || fail "the editor did not close"
echo "PASS"
