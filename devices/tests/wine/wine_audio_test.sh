#!/usr/bin/env bash
# Plays through the real wave-output path under Wine (wave_out_check.exe):
#   - with a private PulseAudio server whose only sink is a null sink: the
#     device list, position reports that keep pace with the clock, and the
#     time from play to the first block heard (printed, not judged);
#   - with an ALSA file device (Wine's ALSA driver): the bytes that reach the
#     device are exactly the 16-bit samples of the file played (Wine writes
#     stretches of silence of its own when it runs short; the material has
#     none, and they are set aside and counted).
# Runs in a Wine prefix of its own and starts and stops its own servers.
# Usage: wine_audio_test.sh BUILD_DIR   (the win64 build folder)
set -euo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../../.." && pwd)
work=$build/devices-audio
check=$build/devices/wave_out_check.exe
[ -f "$check" ] || { echo "FAIL: $check is not built" >&2; exit 1; }

fail() { echo "FAIL: $*" >&2; exit 1; }
win() { winepath -w "$1" 2>/dev/null; }
run_check() { wine "$check" "$@" | tr -d '\r'; }

# The sound driver setting goes into the prefix, so the prefix is ours alone.
"$root/scripts/wine-prefix.sh" "$work/prefix" >/dev/null
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source "$root/scripts/test-audio.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  stop_private_pulse
}
trap cleanup EXIT
wineserver -p

# Material: a tone for the timing checks; for the byte check noise followed
# by a square wave between the 16-bit extremes, -32768 and 32767.
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/tone.raw" synth 12 sine 440 vol 0.5
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/noise.raw" synth 2 whitenoise vol 0.7
for _ in $(seq 200); do
  printf '\x00\x80\x00\x80%.0s' $(seq 50)
  printf '\xff\x7f\xff\x7f%.0s' $(seq 50)
done >"$work/square.raw"
cat "$work/noise.raw" "$work/square.raw" >"$work/exact.raw"

echo "-- PulseAudio with a null sink"
start_private_pulse "$work/pulseaudio.log" || fail "no sound server"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1

devices=$(run_check list)
echo "$devices"
[ "$(echo "$devices" | head -1)" = "[Default Sound Out]" ] || fail "device 0 is not the default: $devices"
[ "$(echo "$devices" | wc -l)" -ge 2 ] || fail "no sound device under PulseAudio"

echo "-- position reports follow the clock"
run_check clock "$(win "$work/tone.raw")" 44100 2 8 || fail "positions do not follow the clock"

echo "-- start of a one-hour sound at its middle"
run_check latency "$(win "$work/tone.raw")" 44100 2 6 || fail "playback did not start"
echo "-- the same once the sound driver is loaded (the editor loads it while it starts)"
run_check latency-warm "$(win "$work/tone.raw")" 44100 2 6 || fail "playback did not start"

stop_private_pulse

echo "-- ALSA file device: the bytes played"
alsa_file_device "$work/xdg" "$work/played.raw"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
XDG_CONFIG_HOME=$work/xdg run_check exact "$(win "$work/exact.raw")" 44100 2 || fail "playback through ALSA"
[ -f "$work/played.raw" ] || fail "nothing reached the ALSA file device"
run_check compare "$(win "$work/exact.raw")" "$(win "$work/played.raw")" 2 || fail "the bytes played differ from the file"
echo "PASS"
