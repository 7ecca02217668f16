#!/usr/bin/env bash
# End-to-end test of the recorder under Wine with a real input device: the
# default source of a private PulseAudio server is the monitor of a null sink
# into which pacat plays a known signal in real time (the editor's test
# set-up, editor/tests/e2e/e2e_common.sh). The recorder is driven the way a
# user's scripts and keys drive it: its command line, second starts that hand
# their arguments over, and hot keys.
#   - "-record wav -s 44100 -m 2 -b 16", then "-done" from a second start:
#     a WAVE file that is the signal after the DC filter, sample for sample
#   - "-pause" from a second start pauses the first (and ends); "-resume"
#     continues the same file
#   - "-restart" while recording starts the file again
#   - the maximum time with "create new recording": two files that add up
#   - hot keys (WM_HOTKEY sent to the window) start and stop
#   - "-exitifstop" and "-ms" end the program
#   - "-hide" and "-show", Float Above Others Window, Close to Tray and back
#   - MP3 through the encoder component, decoded by mpg123 to the sine
#   - voice activation: of a 7 s gap only 450 ms are written
#   - the first-run microphone set-up shows once; Launch starts the editor
# Saves a screenshot of the window while it records.
# Usage: rezara_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=rezara E2E_AUDIO=1
source "$(dirname "$0")/recorder_e2e_common.sh"
check=$build/devices/capture_check.exe
settings='HKCU\Software\Zedirad\Rezara\Settings'
keys='HKCU\Software\Zedirad\Rezara\Keys'
out=$work/out
mkdir -p "$out"
now() { date +%s.%N; }
length() { soxi -D "$1"; }
setting() { wine reg add "$settings" /v "$1" /d "$2" /f >/dev/null; }
finish_recorder() { ! running || rez -exit || true; }
trap 'finish_recorder; stop_audio_test' EXIT

sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/tone.raw" synth 120 sine 440 vol 0.4 dcshift 0.05
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/quiet.raw" trim 0 1
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/gap.raw" trim 0 7
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/burst.raw" synth 1 sine 660 vol 0.5
cat "$work/quiet.raw" "$work/burst.raw" "$work/gap.raw" "$work/burst.raw" "$work/quiet.raw" >"$work/gapped.raw"

wine reg delete 'HKCU\Software\Zedirad\Rezara' /f >/dev/null 2>&1 || true
setting OutputFolder "$(win "$out")"
setting FileNameFormat "Take %autonumber%"
setting InstallWizRun 1
setting StoppedTone 0
# Hot keys: Ctrl+F9 records, Ctrl+F10 stops and marks done.
wine reg add "$keys" /v Count /d 2 /f >/dev/null
wine reg add "$keys" /v Key0 /d $((0x20000 | 0x78)) /f >/dev/null
wine reg add "$keys" /v Key0Command /d 0 /f >/dev/null
wine reg add "$keys" /v Key1 /d $((0x20000 | 0x79)) /f >/dev/null
wine reg add "$keys" /v Key1Command /d 3 /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Components\mp3el' /v Path /d "$(win "$build/component-programs/mp3enc.exe")" \
  /f >/dev/null
null_microphone mic || fail "no microphone"
feed_microphone "$work/tone.raw"
sleep 0.5

echo "-- -record wav -s 44100 -m 2 -b 16, then -done from a second start"
start_recorder -record wav -s 44100 -m 2 -b 16
running 60 || fail "the recorder's window did not appear"
wait_state "Recording..." 20 || fail "the recorder does not record: $(state)"
sleep 3
import -window root "$work/recording.png" || true
rez -done
wait_state Ready 10 || fail "-done did not stop the recording: $(state)"
running || fail "the second start closed the recorder"
[ -s "$out/Take 1.wav" ] || fail "no recording in the output folder: $(ls "$out")"
soxi "$out/Take 1.wav" | grep -q "Sample Rate *: 44100" || fail "the recording is not at 44100 Hz"
soxi "$out/Take 1.wav" | grep -q "Channels *: 2" || fail "the recording is not stereo"
echo "recorded $(length "$out/Take 1.wav") s"
holds "$(length "$out/Take 1.wav") >= 2.5" || fail "the recording is $(length "$out/Take 1.wav") s long"
wine "$check" compare "$(win "$work/tone.raw")" "$(win "$out/Take 1.wav")" 2 44100 | tr -d '\r' ||
  fail "the recording is not the signal after the DC filter"

echo "-- -pause from a second start pauses the first; -resume continues the same file"
# Second starts take their time on a busy machine: the recording may be as
# long as the time from each hand-over's start to the next one's end.
t0=$(now)
rez -record
wait_state "Recording..." 20 || fail "-record did not start: $(state)"
sleep 2
rez -pause
t1=$(now)
wait_state Ready 10 || fail "-pause did not pause: $(state)"
sleep 2
[ ! -e "$out/Take 3.wav" ] || fail "the pause made a new file"
t2=$(now)
rez -resume
wait_state "Recording..." 20 || fail "-resume did not continue: $(state)"
sleep 2
rez -done
t3=$(now)
wait_state Ready 10 || fail "-done did not stop: $(state)"
[ ! -e "$out/Take 3.wav" ] || fail "the resume went into a new file"
paused=$(length "$out/Take 2.wav")
upper=$(awk "BEGIN { print $t1 - $t0 + $t3 - $t2 }")
echo "recorded $paused s in two parts of 2 s (at most $upper s without the pause)"
holds "$paused >= 3.5 && $paused <= $upper + 0.3" || fail "the paused recording is $paused s long"

echo "-- -restart while recording starts the file again"
rez -record
wait_state "Recording..." 20 || fail "-record did not start: $(state)"
sleep 3
t0=$(now)
rez -restart
wait_state "Recording..." 10 || fail "-restart did not record again: $(state)"
sleep 1.5
rez -done
t1=$(now)
wait_state Ready 10 || fail "-done did not stop: $(state)"
restarted=$(length "$out/Take 3.wav")
upper=$(awk "BEGIN { print $t1 - $t0 }")
echo "kept $restarted s of 3 s + 1.5 s (at most $upper s since the restart)"
holds "$restarted >= 1.2 && $restarted <= $upper + 0.3" || fail "the restarted recording is $restarted s long"
wine "$check" compare "$(win "$work/tone.raw")" "$(win "$out/Take 3.wav")" 2 44100 | tr -d '\r' ||
  fail "the restarted recording is not the signal"

echo "-- The maximum time with Create new recording and continue"
setting CheckMaxTime 1
setting MaxTime 0:00:02
setting StopReachMaxTime 0
rez -record
wait_state "Recording..." 20 || fail "-record did not start: $(state)"
started=$(date +%s.%N)
sleep 3.5
rez -done
ended=$(date +%s.%N)
wait_state Ready 10 || fail "-done did not stop: $(state)"
setting CheckMaxTime 0
[ -s "$out/Take 5.wav" ] || fail "no second file after the maximum time: $(ls "$out")"
[ ! -e "$out/Take 6.wav" ] || fail "more than two files after 3.5 s with a 2 s limit"
first=$(length "$out/Take 4.wav")
second=$(length "$out/Take 5.wav")
wall=$(awk "BEGIN { print $ended - $started }")
echo "files of $first s and $second s in $wall s"
holds "$first >= 2.0 && $first <= 2.3" || fail "the first file is $first s long, past a limit of 2 s"
holds "$first + $second >= $wall - 1.0 && $first + $second <= $wall + 0.5" ||
  fail "the files ($first s + $second s) do not add up to the $wall s recorded"

echo "-- Hot keys start and stop"
drive dialog-post "$title" 0x312 0 >/dev/null
wait_state "Recording..." 20 || fail "the record hot key did not start: $(state)"
sleep 1
drive dialog-post "$title" 0x312 1 >/dev/null
wait_state Ready 10 || fail "the stop hot key did not stop: $(state)"
holds "$(length "$out/Take 6.wav") >= 0.5" || fail "the hot-key recording is $(length "$out/Take 6.wav") s long"

echo "-- -showbtn and -outdir change the settings of the running recorder"
query() { wine reg query "$settings" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { print $3 }'; }
rez -showbtn hideall -showbtn r -showbtn s -outdir "$(win "$work/elsewhere")" -outdir "$(win "$out")"
for _ in $(seq 50); do [ "$(query ShowButtons)" = 9 ] && break; sleep 0.2; done
[ "$(query ShowButtons)" = 9 ] || fail "-showbtn hideall, r, s left ShowButtons at $(query ShowButtons)"
[ "$(query OutputFolder)" = "$(win "$out")" ] || fail "-outdir left the output folder at $(query OutputFolder)"
rez -showbtn showall
# The Options menu opens the option sheet over the window; Cancel closes it.
drive dialog-post "$title" 0x111 40030 >/dev/null
drive dialog-wait Options 20 >/dev/null || fail "Options, Record... did not open the option sheet"
sleep 0.5
import -window root "$work/options.png" || true
drive dialog-post Options 0x111 2 >/dev/null
drive dialog-gone Options 10 >/dev/null || fail "Cancel did not close the option sheet"
# A click on the format description opens the WAV format chooser (Wine's
# chooser calls itself "Sound Selection").
drive dialog-click "$title" 1000 0.3 0.5 >/dev/null
drive dialog-wait "Sound Selection" 20 >/dev/null || fail "a click on File Info did not open the format chooser"
drive dialog-post "Sound Selection" 0x111 2 >/dev/null
drive dialog-gone "Sound Selection" 10 >/dev/null || fail "Cancel did not close the format chooser"

echo "-- -hide and -show, Float Above Others Window, the tray"
window() { drive dialog-state "$title"; }
wait_window() {  # STATE
  for _ in $(seq 50); do [ "$(window)" = "$1" ] && return 0; sleep 0.2; done
  return 1
}
rez -hide
wait_window "hidden normal" || fail "-hide left the window $(window)"
rez -show
wait_window "visible normal" || fail "-show left the window $(window)"
drive dialog-post "$title" 0x111 40020 >/dev/null
wait_window "visible topmost" || fail "Float Above Others Window left the window $(window)"
[ "$(query Float)" = 1 ] || fail "Float was not stored: $(query Float)"
drive dialog-post "$title" 0x111 40020 >/dev/null
wait_window "visible normal" || fail "Float Above Others Window again left the window $(window)"
[ "$(query Float)" = 0 ] || fail "Float was not cleared: $(query Float)"
drive dialog-post "$title" 0x111 40005 >/dev/null
wait_window "hidden normal" || fail "Exit (Close to Tray) left the window $(window)"
running || fail "Exit (Close to Tray) ended the program"
drive dialog-post "$title" 0x111 40007 >/dev/null
wait_window "visible normal" || fail "Open Rezara left the window $(window)"

echo "-- MP3 through the encoder component"
rez -record mp3 -cbr -b 128 -m s
wait_state "Recording..." 20 || fail "-record mp3 did not start: $(state)"
sleep 3
rez -done
wait_state Ready 20 || fail "-done did not stop the MP3 recording: $(state)"
[ -s "$out/Take 7.mp3" ] || fail "no MP3 recording: $(ls "$out")"
mpg123 -q -s "$out/Take 7.mp3" >"$work/mp3.raw" 2>/dev/null || fail "mpg123 cannot decode the recording"
snr=$(python3 "$here/sine_snr.py" "$work/mp3.raw" 2 44100 440)
echo "MP3 of $(soxi -D "$out/Take 7.mp3") s: SNR $snr dB against the 440 Hz sine"
holds "$snr >= 30" || fail "the MP3 recording's SNR is $snr dB, below 30 dB"
rez -record wav
wait_state "Recording..." 20 || fail "back to WAV did not start: $(state)"
rez -done
wait_state Ready 10 || true

echo "-- -exitifstop ends the program when the recording stops"
rez -record -exitifstop
wait_state "Recording..." 20 || fail "-record did not start: $(state)"
sleep 1
rez -done
drive dialog-gone "$title" 15 >/dev/null || fail "-exitifstop did not end the program"
[ -s "$out/Take 9.wav" ] || fail "the recording before the exit is missing: $(ls "$out")"

echo "-- -ms stops, marks done and ends the program"
start_recorder -record -ms 2000
running 60 || fail "the recorder's window did not appear"
drive dialog-gone "$title" 30 >/dev/null || fail "-ms 2000 did not end the program"
timed=$(length "$out/Take 10.wav")
echo "recorded $timed s with -ms 2000"
holds "$timed >= 1.0 && $timed <= 2.5" || fail "the -ms recording is $timed s long"

echo "-- Voice activation: a 7 s gap keeps 450 ms"
stop_feeding
setting VoiceActivate 1
start_recorder -record
running 60 || fail "the recorder's window did not appear"
wait_state "Waiting for voice input..." 20 || fail "voice activation does not wait: $(state)"
feed_microphone "$work/gapped.raw"
wait_state "Recording..." 10 || fail "the burst did not start the recording: $(state)"
heard=$(now)
# The gap runs from 1 s to 8 s after the burst began; 5 s into it the gate
# closes. The burst was seen up to half a second late.
sleep "$(awk "BEGIN { s = $heard + 6.8 - $(now); print (s > 0 ? s : 0) }")"
gate=$(state)
sleep "$(awk "BEGIN { s = $heard + 9.5 - $(now); print (s > 0 ? s : 0) }")"
rez -done
wait_state Ready 10 || fail "-done did not stop: $(state)"
setting VoiceActivate 0
wine "$check" stretches "$(win "$out/Take 11.wav")" 2 44100 | tr -d '\r' | tee "$work/stretches.txt"
[ "$gate" = "Waiting for voice input..." ] || fail "6 s into the gap the window shows \"$gate\""
# The silence between the two bursts: after the first run of sound.
kept=$(awk '$1 == "sound" { sounds++ } $1 == "silence" && sounds == 1 { print $2; exit }' "$work/stretches.txt")
[ -n "$kept" ] || fail "no gap between the two bursts"
holds "$kept >= 400 && $kept <= 600" || fail "the 7 s gap was kept as $kept ms, not 450 ms"
rez -exit
drive dialog-gone "$title" 15 >/dev/null || fail "-exit did not end the program"

echo "-- The microphone set-up shows on the first run only"
wine reg delete "$settings" /v InstallWizRun /f >/dev/null
start_recorder
drive dialog-wait "Microphone Connection and Record Volume" 30 >/dev/null || fail "the set-up did not show"
import -window root "$work/setup.png" || true
drive dialog-post "Microphone Connection and Record Volume" 0x111 2 >/dev/null
drive dialog-gone "Microphone Connection and Record Volume" 10 >/dev/null || fail "Cancel did not close the set-up"
[ "$(wine reg query "$settings" /v InstallWizRun | tr -d '\r' | awk '$1 == "InstallWizRun" { print $3 }')" = 1 ] ||
  fail "InstallWizRun was not set"
rez -exit
drive dialog-gone "$title" 15 >/dev/null || fail "-exit did not end the program"
echo "-- The Launch menu starts an installed companion: the editor"
wine reg add 'HKCU\Software\Zedirad\Razavo\Settings' /v RunEdit /d "\"$(win "$editor")\" \"%s\" -runedit" /f >/dev/null
start_recorder
running 60 || fail "the recorder's window did not appear"
! drive dialog-wait "Microphone Connection and Record Volume" 3 >/dev/null 2>&1 || fail "the set-up showed again"
drive dialog-post "$title" 0x111 40100 >/dev/null
drive wait-frame 60 >/dev/null || fail "Launch did not start the editor"
drive close >/dev/null
drive wait-gone 30 >/dev/null || fail "the editor started from Launch did not close"
rez -exit
drive dialog-gone "$title" 15 >/dev/null || fail "-exit did not end the program"

mkdir -p "$build/demo" && cp "$work/recording.png" "$build/demo/rezara-recording.png" 2>/dev/null || true
echo "rezara end-to-end: 1 passed, 0 failed"
