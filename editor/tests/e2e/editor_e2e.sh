#!/usr/bin/env bash
# End-to-end test of the editor under Wine: starts razavo.exe the way a user
# would, drives it through razavo_driver.exe and checks the files it writes
# with sox. Needs a display (the test runner provides Xvfb).
# Usage: editor_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=editor
source "$(dirname "$0")/e2e_common.sh"
# keys.dat: version 0, then Home (0x24) -> one command, Select All (2007).
printf '\x00\x24\x00\x00\x00\x01\xd7\x07\x00\x00' >"$data_folder/keys.dat"

# Material: speech at 8 kHz mono, and a second file.
espeak-ng -w "$work/voice.wav" "Every edit can be undone, and nothing is ever lost." 2>/dev/null
sox -V1 "$work/voice.wav" -r 8000 -c 1 -b 16 "$work/speech.wav"
sox -V1 -n -r 22050 -c 2 -b 16 "$work/tone.wav" synth 2 sine 440 vol 0.5

sox -V1 "$work/speech.wav" -t raw "$work/speech.raw"

echo "-- a start with a file opens it and shows it"
start_editor "$(win "$work/speech.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
[ "$(drive documents)" = "speech.wav" ] || fail "speech.wav is not open: $(drive documents)"
sleep 2
import -window root "$work/editor.png" || true

echo "-- a second start hands its file over and exits"
start=$SECONDS
wine "$editor" "$(win "$work/tone.wav")" >/dev/null 2>&1
[ $((SECONDS - start)) -lt 30 ] || fail "the second start did not exit"
[ "$(drive documents | sort | tr '\n' ' ')" = "speech.wav tone.wav " ] || fail "hand-over: $(drive documents)"

echo "-- opening an open file again gives no second window"
wine "$editor" "$(win "$work/speech.wav")" >/dev/null 2>&1
[ "$(drive documents | wc -l)" = 2 ] || fail "a second window: $(drive documents)"

echo "-- a hand-over record with a bad count or no terminators is harmless"
drive handover 33284 5000 x y >/dev/null
drive handover 100 1 x >/dev/null
[ "$(drive documents | wc -l)" = 2 ] || fail "a bad record opened something"

echo "-- Paste with nothing cut or copied yet changes nothing"
before_paste=$(drive field 130)
drive command 2004 >/dev/null
[ "$(drive field 130)" = "$before_paste" ] || fail "Paste of an empty clipboard gave $(drive field 130), not $before_paste"

echo "-- a user key shadows the default key"
drive key 0x24 >/dev/null        # Home: the user's Select All instead of Go To Start
length=$(drive field 130)
[ "$(drive field 108)" = "$length" ] || fail "Home did not select all ($(drive field 108) of $length)"

echo "-- an effect runs on the selection and undoes"
drive command 4018 >/dev/null          # Reverse the whole file
drive handover 33284 3 razavo.exe -saveas "$(win "$work/reversed.wav")" >/dev/null
sox -V1 "$work/speech.wav" -t raw "$work/reversed-by-sox.raw" reverse
sox -V1 "$work/reversed.wav" -t raw "$work/reversed.raw"
cmp -s "$work/reversed.raw" "$work/reversed-by-sox.raw" || fail "Reverse differs from sox's"
drive command 2001 >/dev/null          # Undo
drive handover 33284 3 razavo.exe -saveas "$(win "$work/restored.wav")" >/dev/null
sox -V1 "$work/restored.wav" -t raw "$work/restored.raw"
cmp -s "$work/restored.raw" "$work/speech.raw" || fail "undo did not restore the sound"

echo "-- cut, undo and redo; the Windows clipboard both ways"
# speech.wav is active and wholly selected by the user key above.
full=$(drive field 130)
drive command 2002 >/dev/null          # Cut
[ "$(drive field 130)" = "0:00:00.00" ] || fail "cut left $(drive field 130)"
read -r size head <<<"$(drive clipboard-size)"
[ "$head" = RIFF ] && [ "$size" -gt 44 ] || fail "no wave offered on the clipboard ($size $head)"
drive command 2001 >/dev/null          # Undo
[ "$(drive field 130)" = "$full" ] || fail "undo gave $(drive field 130), not $full"
drive command 2033 >/dev/null          # Redo
[ "$(drive field 130)" = "0:00:00.00" ] || fail "redo gave $(drive field 130)"
drive command 2001 >/dev/null
drive clipboard-put "$(win "$work/tone.wav")" || fail "could not put a wave on the clipboard"
drive command 3007 >/dev/null          # cursor to the start, nothing selected
drive post 3002 >/dev/null             # Play: there is no sound device here, so the editor says so
drive answer Razavo 1 20 || fail "no message when no sound device opens"
drive command 2025 >/dev/null          # Paste From Windows Clipboard: two seconds of tone
[ "$(drive field 108)" = "0:00:02.00" ] || fail "pasted selection is $(drive field 108)"

echo "-- repeat loop from its dialog"
before_repeat=$(drive field 130)
drive post 2009 >/dev/null
drive answer "Repeat Loop" 1 20 || fail "no Repeat Loop dialog"
sleep 1
[ "$(drive field 130)" != "$before_repeat" ] || fail "repeat loop changed nothing"
drive command 2001 >/dev/null

echo "-- a second start while a dialog is open waits until it is closed"
drive post 2009 >/dev/null              # Repeat Loop's dialog stays open
drive dialog-wait "Repeat Loop" 20 || fail "no Repeat Loop dialog"
wine "$editor" -saveas "$(win "$work/during-dialog.wav")" >/dev/null 2>&1
sleep 1
[ ! -e "$work/during-dialog.wav" ] || fail "the hand-over ran under the open dialog"
drive answer "Repeat Loop" 2 20 >/dev/null   # Cancel
for _ in $(seq 100); do [ -s "$work/during-dialog.wav" ] && break; sleep 0.1; done
[ -s "$work/during-dialog.wav" ] || fail "the held hand-over never ran"
drive command 2001 >/dev/null          # Undo: the saved document is edited again

echo "-- the twentieth untitled window is Untitled 1 again"
for _ in $(seq 20); do drive command 1001 >/dev/null; done
names=$(drive documents)
[ "$(echo "$names" | grep -c '^Untitled 1$')" = 2 ] || fail "untitled names: $names"
[ "$(echo "$names" | grep -c '^Untitled ')" = 20 ] || fail "untitled count: $names"

echo "-- exit asks about every unsaved window"
drive close >/dev/null
asked=0
while drive answer Razavo 7 5 >/dev/null; do asked=$((asked + 1)); sleep 0.2; done
# 20 untitled windows and the edited speech.wav; tone.wav is unchanged.
[ "$asked" = 21 ] || fail "$asked save questions instead of 21"
drive wait-gone 30 || fail "the editor did not exit"

echo "-- \"a.wav -save -exit\" with no editor running saves and exits"
cp "$work/speech.wav" "$work/a.wav"
printf 'LIST\x04\x00\x00\x00INFO' >>"$work/a.wav"   # a trailing chunk the save drops
before=$(stat -c %s "$work/a.wav")
wine "$editor" "$(win "$work/a.wav")" -save -exit >/dev/null 2>&1
drive wait-gone 60 || fail "the editor did not exit after -save -exit"
[ "$(stat -c %s "$work/a.wav")" -lt "$before" ] || fail "a.wav was not saved again"
sox -V1 "$work/a.wav" -t raw "$work/a.raw"
sox -V1 "$work/speech.wav" -t raw "$work/speech.raw"
cmp -s "$work/a.raw" "$work/speech.raw" || fail "a.wav lost its samples"

echo "-- -saveas writes every built-in format"
args=()
for ext in wav aif au gsm raw vox; do args+=(-saveas "$(win "$work/out.$ext")"); done
wine "$editor" "$(win "$work/speech.wav")" "${args[@]}" -exit >/dev/null 2>&1
drive wait-gone 60 || fail "the editor did not exit after -saveas"
for ext in wav aif au; do
  sox -V1 "$work/out.$ext" -t raw -e signed -b 16 "$work/out-$ext.raw"
  cmp -s "$work/out-$ext.raw" "$work/speech.raw" || fail "out.$ext differs from the original"
done
cmp -s "$work/out.raw" "$work/speech.raw" || fail "out.raw differs from the original"
sox -V1 "$work/speech.wav" "$work/sox.gsm"
cmp -s "$work/out.gsm" "$work/sox.gsm" || fail "out.gsm differs from sox's encoding"
samples=$(( $(stat -c %s "$work/speech.raw") / 2 ))
[ "$(stat -c %s "$work/out.vox")" = $(( (samples + 1) / 2 )) ] || fail "out.vox has the wrong size"

echo "editor end-to-end: 1 passed, 0 failed"
