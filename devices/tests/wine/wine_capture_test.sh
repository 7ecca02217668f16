#!/usr/bin/env bash
# Records through the real wave-input path under Wine (capture_check.exe)
# from a private PulseAudio server:
#   - the device list and what the recording mixer offers (printed);
#   - the monitor of a null sink that pacat plays a file into, as the default
#     source: what the capture writes is exactly a stretch of the file after
#     the DC filter;
#   - the same signal with gaps and voice activation: the stretches of sound
#     and silence kept;
#   - a source that delivers nothing: silence on the meter, a prompt stop.
# Runs in a Wine prefix of its own and starts and stops its own servers.
# Usage: wine_capture_test.sh BUILD_DIR   (the win64 build folder)
set -euo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../../.." && pwd)
work=$build/devices-capture
check=$build/devices/capture_check.exe
[ -f "$check" ] || { echo "FAIL: $check is not built" >&2; exit 1; }
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
win() { winepath -w "$1" 2>/dev/null; }
run_check() { wine "$check" "$@" | tr -d '\r'; }

"$root/scripts/wine-prefix.sh" "$work/prefix" >/dev/null
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$root/scripts/test-audio.sh"
cleanup() {
  stop_feeding
  wineserver -k 2>/dev/null || true
  stop_private_pulse
}
trap cleanup EXIT
wineserver -p

# Material: a sine with a small offset (the filter takes it away) for the
# exact check; tone bursts with gaps for voice activation.
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/tone.raw" synth 20 sine 440 vol 0.4 dcshift 0.05
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/burst.raw" synth 1 sine 660 vol 0.5
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/gap.raw" trim 0 6.5
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/lead.raw" trim 0 3
cat "$work/lead.raw" "$work/burst.raw" "$work/gap.raw" "$work/burst.raw" "$work/gap.raw" >"$work/gaps.raw"

start_private_pulse "$work/pulseaudio.log" || fail "no sound server"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1

# The default source is the monitor of a null sink into which pacat plays
# a file in real time.
null_microphone mic || fail "no microphone"
feed() { feed_microphone "$1"; }

echo "-- devices and the recording mixer"
devices=$(run_check list)
echo "$devices"
[ "$(echo "$devices" | head -1)" = "[Default Sound In]" ] || fail "device 0 is not the default: $devices"
[ "$(echo "$devices" | grep -vc "^mixer\\|^line\\|^system")" -ge 2 ] || fail "no input device under PulseAudio"

echo "-- exact: the capture holds the source after the DC filter"
feed "$work/tone.raw"
run_check record 5 44100 2 -127 216000000 "$(win "$work/recorded.raw")" || fail "recording failed"
run_check compare "$(win "$work/tone.raw")" "$(win "$work/recorded.raw")" 2 44100 || fail "the recording is not the source"

echo "-- voice activation on a signal with gaps"
feed "$work/gaps.raw"
run_check record 20 44100 2 -24 5000 "$(win "$work/gated.raw")" || fail "recording failed"
run_check stretches "$(win "$work/gated.raw")" 2 44100 | tee "$work/stretches.txt"
# The gate works on whole 100 ms blocks, which fall where they fall in the
# signal: before the first burst lies the end of the block it begins in and
# up to 50 ms of the block before (at most 150 ms); the silence kept after a
# burst runs to the end of its last block, then 450 ms, then leads into the
# next burst like the first (450 ... 700 ms in all); the tail keeps the rest
# of the last block and 50 ms (50 ... 150 ms). A burst reads 1 s and the
# few ms the filter rings after it.
awk '
  { kind[NR] = $1; ms[NR] = $2 }
  END {
    n = NR; i = 1
    if (kind[1] == "silence") { if (ms[1] > 150) exit 1; i = 2 }
    if (kind[i] != "sound" || ms[i] < 995 || ms[i] > 1030) exit 2
    if (kind[i+1] != "silence" || ms[i+1] < 420 || ms[i+1] > 700) exit 3
    if (kind[i+2] != "sound" || ms[i+2] < 995 || ms[i+2] > 1030) exit 4
    if (kind[i+3] != "silence" || ms[i+3] < 25 || ms[i+3] > 150 || n != i + 3) exit 5
  }' "$work/stretches.txt" || fail "voice activation kept the wrong stretches"

echo "-- a source that delivers nothing"
stop_feeding
# A pipe source whose pipe nobody writes.
rm -f "$work/dead.fifo"
pactl load-module module-pipe-source source_name=dead file="$work/dead.fifo" format=s16le rate=44100 channels=2 >/dev/null
pactl set-default-source dead
run_check silent-stop 44100 2 || fail "a silent device hung or showed sound"
echo "PASS"
