#!/usr/bin/env bash
# Builds the conversion benchmarks, makes a two-minute 44.1 kHz 16-bit stereo
# WAVE file with sox in build/native/bench-scratch/conversion (kept for the
# next run) and runs both benchmarks there.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/native
[ -f "$build/build.ninja" ] || (cd "$root" && cmake --preset native >/dev/null)
ninja -C "$build" -j2 resample_bench stretch_bench >/dev/null

scratch=$build/bench-scratch/conversion
mkdir -p "$scratch"
input=$scratch/two-minutes.wav
if [ ! -f "$input" ]; then
  echo "making $input"
  sox -n -r 44100 -c 2 -b 16 "$input" synth 120 sine 440 pinknoise gain -6
fi
"$build/bench/conversion/resample_bench" "$scratch" "$input"
echo
"$build/bench/conversion/stretch_bench" "$scratch" "$input"
