#!/usr/bin/env bash
# End-to-end test of the Batch Converter: files handed over by "-batch" (at
# start and from a second start), commands added with their stored values, a
# command's settings dialog, a batch script saved, cleared, reopened and a
# damaged one refused, the output folder created on request, the run's
# results window, the outputs against sox applying the same operations, Skip
# for an output that exists, and Cancel of a long run. Saves a screenshot of
# each page.
# Usage: batch_converter_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=batch_converter
source "$(dirname "$0")/e2e_common.sh"
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
finish() {
  drive close >/dev/null 2>&1 || true
  drive answer Razavo 7 2 >/dev/null 2>&1 || true
  drive wait-gone 20 >/dev/null 2>&1 || true
}
trap finish EXIT
title="Batch Converter"
click() { drive answer "$title" "$1" 5 >/dev/null || fail "no button $1 in the $title window"; sleep 0.3; }
wait_dialog() { drive dialog-wait "$1" "${2:-20}" >/dev/null || fail "no dialog \"$1\""; }
# The run window's status line; empty at once when the window is gone.
run_status() {
  drive dialog-wait "Batch Converting" 0 >/dev/null 2>&1 || return 0
  drive dialog-get "Batch Converting" 100
}
stored='HKCU\Software\Zedirad\Razavo\StoredValues'

sox -V1 -R -n -r 44100 -c 2 -b 16 "$work/talk.wav" synth 2 sine 300 pinknoise gain -8
sox -V1 -R -n -r 22050 -c 1 -b 16 "$work/hum.wav" synth 1.5 square 60 sine 3000 gain -12
out=$work/converted
# New commands carry the stored values.
wine reg add "$stored" /v SilenceTimes /d 250 /f >/dev/null
wine reg add "$stored" /v AmplifyGain /d 50 /f >/dev/null
wine reg add "$stored" /v LowCutFreq /d 250 /f >/dev/null

echo "-- \"-batch\" opens the window with the file; a second start hands its file over"
start_editor -batch "$(win "$work/talk.wav")"
wait_dialog "$title" 60
shot page1_first_file
(cd "$work" && wine "$editor" -batch "$(win "$work/hum.wav")" >>"$work/editor.log" 2>&1)
sleep 2
shot page1_files

echo "-- step 2: commands added from the list, with their descriptions and settings"
click 12324
click 104
wait_dialog "Add Command"
for row in 1 3 5; do drive dialog-pick "Add Command" 101 $row add >/dev/null; done
drive answer "Add Command" 1 5 >/dev/null
drive dialog-gone "Add Command" 10 >/dev/null || fail "Add Command stayed open"
shot page2_commands
click 103  # the selected command (the last added, High-Pass Filter)
wait_dialog "High-Pass Filter"
shot page2_settings
drive answer "High-Pass Filter" 2 5 >/dev/null
drive dialog-gone "High-Pass Filter" 10 >/dev/null || fail "the settings dialog stayed open"

echo "-- the list saved as a script, cleared, reopened"
script=$work/clean.vrb
click 108
wait_dialog "Locate Batch Script File"
drive dialog-set "Locate Batch Script File" 1148 "$(win "$script")" >/dev/null
drive answer "Locate Batch Script File" 1 5 >/dev/null
for _ in $(seq 50); do [ -s "$script" ] && break; sleep 0.1; done
expected='00 01 00 00 00 04 00 00 00 fa 00 00 00 03 00 00 00 02 00 00 00 32 00 05 00 00 00 04 00 00 00 fa 00 00 00'
[ "$(od -An -tx1 -v "$script" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')" = "$expected" ] ||
  fail "the script holds $(od -An -tx1 -v "$script" | tr -s ' \n' ' ')"
[ "$(drive dialog-get "$title" 102)" = "clean.vrb" ] || fail "the script's name is not shown"
click 107  # New: the list was saved, so nothing is asked
drive dialog-wait Razavo 1 >/dev/null 2>&1 && fail "New asked about a saved list"
[ "$(drive dialog-get "$title" 102)" = "Untitled.vrb" ] || fail "New did not start an untitled list"

printf '\001\003\000\000\000\002\000\000\000\062\000' > "$work/other.vrb"
click 106
wait_dialog "Open Batch Script File"
drive dialog-set "Open Batch Script File" 1148 "$(win "$work/other.vrb")" >/dev/null
drive answer "Open Batch Script File" 1 5 >/dev/null
wait_dialog "File Error" 10
[[ "$(drive dialog-get "File Error" 65535)" == *"does not have the same version"* ]] ||
  fail "a script of another version was not refused: $(drive dialog-get "File Error" 65535)"
drive answer "File Error" 1 5 >/dev/null

click 106
wait_dialog "Open Batch Script File"
drive dialog-set "Open Batch Script File" 1148 "$(win "$script")" >/dev/null
drive answer "Open Batch Script File" 1 5 >/dev/null
sleep 0.5
[ "$(drive dialog-get "$title" 102)" = "clean.vrb" ] || fail "the script did not open"
shot page2_reopened

echo "-- step 3: a folder that does not exist is created on request; the run shows each file's result"
click 12324
click 106
drive dialog-set "$title" 107 "$(win "$out")" >/dev/null
shot page3_output
click 12325
wait_dialog Razavo 10
[[ "$(drive dialog-get Razavo 65535)" == *"does not exist. Do you want to create it now?"* ]] ||
  fail "no question about the missing folder: $(drive dialog-get Razavo 65535)"
drive answer Razavo 6 5 >/dev/null
wait_dialog "Batch Converting" 20
for _ in $(seq 300); do
  status=$(run_status)
  [[ -z "$status" || "$status" == Finished* ]] && break
  sleep 0.2
done
line=$(run_status)
[ "$line" = "Finished. 2 converted, 0 skipped, 0 failed." ] || fail "the run ended with \"$line\""
shot run_results
drive answer "Batch Converting" 2 5 >/dev/null
drive dialog-gone "$title" 10 >/dev/null || fail "the window stayed open after the run"

echo "-- the outputs against sox"
compare() {  # ours, sox's: largest difference in 16-bit steps, lengths equal
  python3 - "$1" "$2" <<'PY'
import sys, wave, array
def samples(path):
    with wave.open(path) as w:
        return w.getnchannels(), w.getframerate(), array.array('h', w.readframes(w.getnframes()))
a, b = samples(sys.argv[1]), samples(sys.argv[2])
if a[:2] != b[:2] or len(a[2]) != len(b[2]):
    print("layout", a[:2], len(a[2]), b[:2], len(b[2])); sys.exit(1)
worst = max(abs(x - y) for x, y in zip(a[2], b[2]))
print(worst); sys.exit(0 if worst <= 2 else 1)
PY
}
for name in talk hum; do
  rate=$(soxi -r "$work/$name.wav")
  sox -V1 -R -D "$work/$name.wav" -b 16 "$work/sox-$name.wav" pad $((250 * rate / 1000))s 0 highpass 250 0.707q vol 0.5
  compare "$out/$name.wav" "$work/sox-$name.wav" >/dev/null || fail "$name differs from sox: $(compare "$out/$name.wav" "$work/sox-$name.wav")"
done

echo "-- an output that exists is asked about: Skip keeps it"
before=$(md5sum < "$out/talk.wav")
(cd "$work" && wine "$editor" -batch "$(win "$work/talk.wav")" >>"$work/editor.log" 2>&1)
wait_dialog "$title" 20
click 12325
wait_dialog Razavo 10
[[ "$(drive dialog-get Razavo 100)" == *"already exists. Do you want to replace it?"* ]] ||
  fail "no Replace question: $(drive dialog-get Razavo 100)"
shot replace_question
drive answer Razavo 102 5 >/dev/null
wait_dialog "Batch Converting" 20
for _ in $(seq 100); do
  status=$(run_status)
  [[ -z "$status" || "$status" == Finished* ]] && break
  sleep 0.2
done
line=$(run_status)
[ "$line" = "Finished. 0 converted, 1 skipped, 0 failed." ] || fail "the skipped run ended with \"$line\""
[ "$(md5sum < "$out/talk.wav")" = "$before" ] || fail "a skipped output was written"
drive answer "Batch Converting" 2 5 >/dev/null
drive dialog-gone "$title" 10 >/dev/null || fail "the window stayed open"
echo "-- Cancel stops a long run: nothing is written, the row says so"
# Half an hour: seconds of work even on a quiet machine, so Cancel comes first.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/long.wav" synth 1800 sine 440 pinknoise gain -6
(cd "$work" && wine "$editor" -batch "$(win "$work/long.wav")" >>"$work/editor.log" 2>&1)
wait_dialog "$title" 20
click 12324
click 104
wait_dialog "Add Command"
drive dialog-pick "Add Command" 101 5 >/dev/null
drive answer "Add Command" 1 5 >/dev/null
drive dialog-gone "Add Command" 10 >/dev/null || fail "Add Command stayed open"
click 12325
wait_dialog "Batch Converting" 20
shot run_progress
[[ "$(run_status)" != Finished* ]] || fail "the long run ended before it could be cancelled"
drive answer "Batch Converting" 2 5 >/dev/null
for _ in $(seq 150); do
  status=$(run_status)
  [[ -z "$status" || "$status" == Cancelled* ]] && break
  sleep 0.2
done
line=$(run_status)
[[ "$line" == "Cancelled. 0 converted"* ]] || fail "Cancel ended the run with \"$line\""
[ ! -e "$out/long.wav" ] || fail "a cancelled run left its output"
[ -z "$(ls -A "$out" | grep -v '^talk.wav$\|^hum.wav$')" ] || fail "a cancelled run left files: $(ls -A "$out")"
drive answer "Batch Converting" 2 5 >/dev/null
wait_dialog Razavo 10
[[ "$(drive dialog-get Razavo 65535)" == *"Do you want to save the command list?"* ]] ||
  fail "leaving a changed list did not ask: $(drive dialog-get Razavo 65535)"
drive answer Razavo 7 5 >/dev/null
drive dialog-gone "$title" 10 >/dev/null || fail "the window stayed open"
rm -f "$work/long.wav"  # 100 MB
echo "PASS"
