#!/usr/bin/env bash
# Writes compressed WAVE files with sox, and sox's own decoding of each cut at
# the length of the sound that went in (the count the file's "fact" chunk
# carries), as headerless 16-bit little-endian PCM:
#   NAME.wav, NAME.raw, NAME.frames (that length, as text)
# MS ADPCM decoders differ in how they round the prediction of a negative
# sample: sox (like Windows' own codec) shifts, rounding down; ffmpeg (like
# Wine's codec) divides, rounding towards zero. ms-adpcm.toward-zero.raw is
# ffmpeg's decoding, cut the same way.
# Lengths are chosen so that the last codec block is only partly filled.
# Usage: make_compressed_waves.sh FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"
rm -f "$out"/*.wav "$out"/*.raw "$out"/*.frames
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# name rate channels seconds sox-encoding-options
while read -r name rate channels seconds encoding; do
  sox -V1 -n -r "$rate" -c "$channels" -b 16 "$tmp/$name-source.wav" \
    synth "$seconds" sine 300-3000 sine 440 synth pinknoise mix gain -8
  sox -V1 "$tmp/$name-source.wav" $encoding "$tmp/$name.wav"
  frames=$(soxi -s "$tmp/$name-source.wav")
  sox -V1 "$tmp/$name.wav" -t raw -e signed -b 16 -L "$tmp/$name.raw" trim 0 "${frames}s"
  echo "$frames" >"$tmp/$name.frames"
  if [ "$name" = ms-adpcm ]; then
    ffmpeg -nostdin -v error -i "$tmp/$name.wav" -f s16le - | head -c $((frames * channels * 2)) >"$out/$name.toward-zero.raw"
  fi
  mv "$tmp/$name.wav" "$tmp/$name.raw" "$tmp/$name.frames" "$out/"
done <<'LIST'
ima-adpcm 22050 1 2 -e ima-adpcm
ms-adpcm 44100 2 2 -e ms-adpcm
gsm610 8000 1 1.37 -e gsm-full-rate
mu-law 8000 2 1.5 -e mu-law
a-law 11025 1 1.5 -e a-law
LIST
