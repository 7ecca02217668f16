#!/usr/bin/env bash
# Builds formats_bench, makes a one-hour 44.1 kHz 16-bit stereo WAVE file with
# sox in build/native/bench-scratch (kept for the next run) and runs the
# benchmark there. Needs about 5 GB free in the build folder while it runs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/native
[ -f "$build/build.ninja" ] || (cd "$root" && cmake --preset native >/dev/null)
ninja -C "$build" -j2 formats_bench >/dev/null

scratch=$build/bench-scratch
mkdir -p "$scratch"
input=$scratch/hour.wav
if [ ! -f "$input" ]; then
  echo "making $input"
  sox -n -r 44100 -c 2 -b 16 "$input" synth 3600 sine 440 pinknoise gain -6
fi
"$build/bench/formats_bench" "$scratch" "$input"
ninja -C "$build" -j2 open_and_draw_bench >/dev/null
"$build/bench/open_and_draw_bench" "$scratch" "$input"
ninja -C "$build" -j2 normalize_bench edit_ops_bench >/dev/null
"$build/bench/effects/normalize_bench" "$scratch" "$input"
"$build/bench/edit_ops_bench" "$scratch" || true
ninja -C "$build" -j2 mp3_bench >/dev/null
mp3=$scratch/hour.mp3
if [ ! -f "$mp3" ]; then
  echo "making $mp3"
  lame --quiet -V 2 "$input" "$mp3"
fi
"$build/bench/mp3_bench" "$scratch" "$mp3"
ninja -C "$build" -j2 encode_bench >/dev/null
"$build/bench/encode_bench" "$scratch" "$input"
ninja -C "$build" -j2 tags_bench >/dev/null
"$build/bench/tags_bench" "$scratch" "$mp3"
ninja -C "$build" -j2 import_bench >/dev/null
flac=$scratch/hour.flac
if [ ! -f "$flac" ]; then
  echo "making $flac"
  flac -s -f -o "$flac" "$input"
fi
"$build/bench/import_bench" "$scratch" "$flac"
ninja -C "$build" -j2 delay_filter_bench >/dev/null
ten=$scratch/ten-minutes.wav
if [ ! -f "$ten" ]; then
  echo "making $ten"
  sox -n -r 44100 -c 2 -b 16 "$ten" synth 600 sine 440 pinknoise gain -6
fi
"$build/bench/delay_filter_bench" "$scratch" "$ten"
ninja -C "$build" -j2 noise_reduction_bench >/dev/null
"$build/bench/effects/noise_reduction_bench" "$scratch"
ninja -C "$build" -j2 spectrum_bench >/dev/null
"$build/bench/spectrum_bench" "$scratch" "$ten"
ninja -C "$build" -j2 batch_bench >/dev/null
"$build/bench/batch_bench" "$scratch"
