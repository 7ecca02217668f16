#!/usr/bin/env bash
# End-to-end test of playback in the editor with real sound output under
# Wine: a private PulseAudio server with a null sink plays in real time, and
# the editor's cursor (its time display) must follow what is heard through
# Play, Pause, Resume and Stop; then an ALSA file device receives exactly the
# 16-bit samples of the document played to its end.
# Usage: playback_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=playback E2E_AUDIO=1
source "$(dirname "$0")/e2e_common.sh"
check=$build/devices/wave_out_check.exe

# Seconds shown by the time display, "H:MM:SS.cc".
heard() { drive field 109 | awk -F: '{ printf "%.2f\n", $1 * 3600 + $2 * 60 + $3 }'; }
now() { date +%s.%N; }
# awk as a calculator: succeeds when the expression holds.
holds() { awk "BEGIN { exit !($1) }"; }
no_message() { ! drive dialog-wait Razavo 0 >/dev/null 2>&1 || fail "$1: $(drive dialog-get Razavo 65535)"; }

sox -V1 -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 30 sine 440 vol 0.5

echo "-- PulseAudio with a null sink: the cursor follows what is heard"
start_editor "$(win "$work/tone.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
sleep 1
# The Play and Stop buttons' pictures (bitmap handles) before anything played.
play_idle=$(drive button-image 111)
stop_idle=$(drive button-image 113)
t0=$(now)
drive command 3002 >/dev/null          # Play
first=""
for _ in $(seq 100); do
  [ "$(heard)" = 0.00 ] || { first=$(now); break; }
  sleep 0.05
done
no_message "Play showed a message"
[ -n "$first" ] || fail "the cursor did not move within 5 s of Play"
# (The start-up time itself is measured in the player's own Wine check;
# each look from here costs a Wine process start.)
sleep 2
p1=$(heard); t1=$(now)
sleep 1.5
p2=$(heard); t2=$(now)
echo "heard $p1 s after $(awk "BEGIN { printf \"%.2f\", $t1 - $t0 }") s, $p2 s after $(awk "BEGIN { printf \"%.2f\", $t2 - $t0 }") s"
# Never ahead of the clock; moving on (a busy machine may lag, not stall).
holds "$p1 <= $t1 - $t0 + 0.3 && $p2 <= $t2 - $t0 + 0.3" || fail "playback ran ahead of the clock"
holds "$p2 >= $p1 + 0.5" || fail "the cursor stalled ($p1 -> $p2)"

echo "-- while it plays, Play is lit and Stop is not"
[ "$(drive button-image 111)" != "$play_idle" ] || fail "Play shows the same picture while playing"
[ "$(drive button-image 113)" = "$stop_idle" ] || fail "Stop changed its picture when playing started"
import -window root "$work/playing.png" || true

echo "-- Pause holds the cursor, Resume plays on"
drive key 0x20 >/dev/null               # Space: pause
sleep 0.5
h1=$(heard); sleep 1; h2=$(heard)
[ "$h1" = "$h2" ] || fail "the cursor moved while held ($h1 -> $h2)"
holds "$h1 >= $p2" || fail "the hold went back ($p2 -> $h1)"
drive key 0x20 >/dev/null               # Space: resume
sleep 1.5
r1=$(heard)
holds "$r1 >= $h1 + 0.5" || fail "resume did not play on ($h1 -> $r1)"

echo "-- while held, a click moves the snippet there"
drive key 0x20 >/dev/null               # Space: pause
sleep 0.5
drive click-wave 0.5 >/dev/null
sleep 0.5
c1=$(heard); sleep 1; c2=$(heard)
[ "$c1" = "$c2" ] || fail "the cursor moved while held after the click ($c1 -> $c2)"
holds "$c1 > 13 && $c1 < 17" || fail "the click in the middle of 30 s held at $c1 s"
drive key 0x20 >/dev/null               # Space: resume from there
sleep 1.5
holds "$(heard) >= $c1 + 0.5" || fail "resume did not play on from the click ($c1 -> $(heard))"

echo "-- Stop stops"
drive command 3006 >/dev/null
sleep 0.5
s1=$(heard); sleep 1; s2=$(heard)
[ "$s1" = "$s2" ] || fail "the cursor moved after Stop ($s1 -> $s2)"
[ "$(drive button-image 111)" = "$play_idle" ] || fail "Play is still lit after Stop"
stop_lit=$(drive button-image 113)
[ "$stop_lit" != "$stop_idle" ] || fail "Stop is not lit after Stop"
import -window root "$work/stopped.png" || true
no_message "a message appeared"

echo "-- Loop Play repeats the selection"
drive drag-wave 0.2 0.3 >/dev/null      # about 6 s to 9 s
from=$(drive field 106 | awk -F: '{ print $1 * 3600 + $2 * 60 + $3 }')
to=$(drive field 107 | awk -F: '{ print $1 * 3600 + $2 * 60 + $3 }')
holds "$to - $from > 2" || fail "the drag selected $from to $to s"
drive command 3011 >/dev/null           # Loop Play on
drive command 3002 >/dev/null
went_back=0; last=0
for _ in $(seq 16); do
  sleep 0.4
  now_at=$(heard)
  holds "$now_at >= $from - 0.05 && $now_at <= $to + 0.05" || fail "looping left the selection: $now_at s ($from to $to)"
  holds "$now_at < $last" && went_back=1
  last=$now_at
done
[ "$went_back" = 1 ] || fail "the loop never went back to its start"
[ "$(drive button-image 113)" = "$stop_idle" ] || fail "Stop stayed lit while looping"
drive command 3006 >/dev/null
[ "$(drive button-image 113)" = "$stop_lit" ] || fail "Stop is not lit after the loop stopped"
drive command 3011 >/dev/null           # Loop Play off again

drive close >/dev/null
drive wait-gone 30 >/dev/null || fail "the editor did not exit"
stop_private_pulse

echo "-- ALSA file device: the document's samples reach the device unchanged"
# Noise, then a square wave between the 16-bit extremes.
sox -V1 -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth 2 whitenoise vol 0.7
sox -V1 -n -r 44100 -c 2 -b 16 "$work/square.wav" synth 0.5 square 441 vol 1
sox -V1 "$work/noise.wav" "$work/square.wav" "$work/exact.wav"
sox -V1 "$work/exact.wav" -t raw "$work/exact.raw"
alsa_file_device "$work/xdg" "$work/played.raw"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
(cd "$work" && XDG_CONFIG_HOME=$work/xdg wine "$editor" "$(win "$work/exact.wav")" >/dev/null 2>&1 &)
drive wait-frame 60 >/dev/null || fail "the editor did not start"
length=$(drive field 130)
drive command 3002 >/dev/null
no_message "Play through ALSA showed a message"
# The file device takes the sound as fast as it comes: wait for the end.
for _ in $(seq 300); do
  [ "$(drive field 109)" = "$length" ] && break
  sleep 0.1
done
[ "$(drive field 109)" = "$length" ] || fail "playback did not reach the end ($(drive field 109) of $length)"
sleep 1
drive close >/dev/null
drive wait-gone 30 >/dev/null || fail "the editor did not exit"
[ -f "$work/played.raw" ] || fail "nothing reached the ALSA file device"
wine "$check" compare "$(win "$work/exact.raw")" "$(win "$work/played.raw")" 2 | tr -d '\r' ||
  fail "the samples played differ from the document's"

echo "playback end-to-end: 1 passed, 0 failed"
