#!/usr/bin/env bash
# Runs every reader fuzzer for a while, each on seed files made with sox.
#   fuzz/run.sh [seconds per fuzzer] [fuzzer...]
# Needs the native-asan build (ninja -C build/native-asan fuzzers). Crash
# inputs land in build/native-asan/fuzz-findings/<fuzzer>/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/native-asan
seconds=${1:-60}
shift || true
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(wave_fuzzer aiff_fuzzer au_fuzzer gsm_fuzzer raw_fuzzer wave_tags_fuzzer mp3_fuzzer
  import_checks_fuzzer mp3_tags_fuzzer cddb_reply_fuzzer project_fuzzer batch_script_fuzzer)

corpus=$build/fuzz-corpus
findings=$build/fuzz-findings
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Short tones in each layout the readers know, and some they hand to codecs.
tone() { sox -n -r "$1" -c "$2" "${@:4}" "$3" synth 0.005 sine 440 2>/dev/null; }
seed() {
  local name=$1
  mkdir -p "$corpus/$name"
  shift
  for f in "$@"; do cp "$f" "$corpus/$name/"; done
}

tone 8000 1 "$tmp/w8.wav" -b 8
tone 8000 1 "$tmp/w16.wav" -b 16
tone 8000 2 "$tmp/w24.wav" -b 24
tone 8000 2 "$tmp/w32.wav" -b 32
tone 8000 1 "$tmp/wf32.wav" -e floating-point -b 32
tone 8000 1 "$tmp/wf64.wav" -e floating-point -b 64
tone 8000 1 "$tmp/wulaw.wav" -e u-law
tone 8000 1 "$tmp/wadpcm.wav" -e ima-adpcm
seed wave_fuzzer "$tmp"/w*.wav

tone 8000 1 "$tmp/a8.aiff" -b 8
tone 8000 2 "$tmp/a16.aiff" -b 16
tone 8000 1 "$tmp/a24.aiff" -b 24
tone 8000 1 "$tmp/c16.aifc" -b 16
seed aiff_fuzzer "$tmp"/a*.aiff "$tmp"/c16.aifc

tone 8000 1 "$tmp/u-ulaw.au" -e u-law
tone 8000 1 "$tmp/u-alaw.au" -e a-law
tone 8000 2 "$tmp/u-16.au" -b 16
tone 8000 1 "$tmp/u-8.au" -e signed -b 8
seed au_fuzzer "$tmp"/u-*.au

sox -n -r 8000 -c 1 "$tmp/g.gsm" synth 0.1 sine 440 2>/dev/null
seed gsm_fuzzer "$tmp/g.gsm"

# Raw seeds: channel byte, rate byte, then samples.
{ printf '\001\002'; head -c 600 "$tmp/g.gsm"; } > "$tmp/r1"
{ printf '\002\000'; tail -c 400 "$tmp/w16.wav"; } > "$tmp/r2"
seed raw_fuzzer "$tmp/r1" "$tmp/r2"

# A tagged WAVE: INFO items and a text DISP after the data.
{
  printf 'RIFF\x5a\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00'
  printf 'data\x02\x00\x00\x00\x80\x80'
  printf 'LIST\x1c\x00\x00\x00INFOIART\x04\x00\x00\x00Ann\x00ICMT\x03\x00\x00\x00hi\x00\x00'
  printf 'DISP\x0a\x00\x00\x00\x01\x00\x00\x00Song\x00\x00'
} > "$tmp/t1.wav"
seed wave_tags_fuzzer "$tmp/t1.wav" "$tmp/w16.wav"

# MP3 seeds: a joint-stereo CBR file with its Info header and a mono VBR
# file behind an ID3v2 tag.
sox -n -r 44100 -c 2 -t wav - synth 0.1 sine 440 2>/dev/null | lame --quiet -b 32 - "$tmp/m1.mp3"
sox -n -r 8000 -c 1 -t wav - synth 0.2 sine 440 2>/dev/null | lame --quiet -V 9 --tt Tone --add-id3v2 - "$tmp/m2.mp3"
seed mp3_fuzzer "$tmp/m1.mp3" "$tmp/m2.mp3"

# Tagged MP3 files: version 2.4 with a picture (mutagen), version 2.3 with
# ID3v1 (id3lib), and a hand-made version 2.2 tag.
cp "$tmp/m1.mp3" "$tmp/t24.mp3" && cp "$tmp/m1.mp3" "$tmp/t23.mp3"
head -c 64 "$tmp/g.gsm" > "$tmp/cover.jpg"
(cd "$tmp" && mid3v2 -t Title -a Artist -T 3/12 -g Rock -c note --TXXX mood:calm -p cover.jpg:Front:3:image/jpeg t24.mp3)
id3v2 -t Title -a Artist -g 17 -T 4 -c note "$tmp/t23.mp3"
{ printf 'ID3\x02\x00\x00\x00\x00\x00\x1aTT2\x00\x00\x05\x00Song'; printf 'TCO\x00\x00\x05\x00(17)'; cat "$tmp/m1.mp3"; } > "$tmp/t22.mp3"
seed mp3_tags_fuzzer "$tmp/t24.mp3" "$tmp/t23.mp3" "$tmp/t22.mp3"

# What decoders leave behind: a finished WAVE, and one whose sizes were never
# filled in (0xFFFFFFFF in the RIFF and data sizes).
python3 - "$tmp/w16.wav" "$tmp/unfinished.wav" <<'PY'
import sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[4:8] = b'\xff' * 4
at = b.find(b'data')
b[at + 4:at + 8] = b'\xff' * 4
open(sys.argv[2], 'wb').write(b)
PY
seed import_checks_fuzzer "$tmp/w16.wav" "$tmp/unfinished.wav"

# CDDB conversations: the track-count byte, then greeting, hello, query,
# read and the entry, an exact and an inexact match.
entry='210 rock 0a0b0c0d entry follows\r\nDTITLE=Artist / Title\r\nTTITLE0=One\r\nTTITLE1=Tw\r\nTTITLE1=o\r\nEXTD=YEAR: 1999\r\nEXTT0=x\r\n.\r\n'
printf "\003201 ready\r\n200 hello\r\n200 rock 0a0b0c0d Artist / Title\r\n$entry" > "$tmp/c1"
printf "\011201 ready\r\n200 hello\r\n211 inexact\r\nmisc 0a0b0c0d A / B\r\nrock 1 C / D\r\n.\r\n$entry" > "$tmp/c2"
seed cddb_reply_fuzzer "$tmp/c1" "$tmp/c2"
# Projects: version 2 with one stereo file, a bookmark and a region, and
# version 1 with its fixed texts and bookmark section.
python3 - "$tmp/p2.vrp" "$tmp/p1.vrp" <<'PY'
import struct, sys
def text(t): return bytes([len(t)]) + t
def sound(rate, ch, frames): return struct.pack('<IBI', rate, ch, frames) + struct.pack('<%di' % (frames * ch), *range(frames * ch))
p2 = bytes([2, 1]) + text(b'C:\\a.wav') + struct.pack('<5i', 1, 0, 2, 0, 3) + bytes([1])
p2 += text(b'Mark') + text(b'a.wav') + struct.pack('<iBi', 1, 1, 0) + sound(8000, 2, 3)
p2 += bytes([1]) + text(b'Part') + text(b'a.wav') + struct.pack('<ii', 0, 2) + sound(8000, 1, 2)
open(sys.argv[1], 'wb').write(p2)
fixed = lambda t: t.ljust(260, b'\0')
p1 = bytes([1, 1]) + fixed(b'a.wav') + struct.pack('<5i', 0, 0, 0, 0, 1) + sound(8000, 1, 1)
p1 += bytes([1]) + fixed(b'M') + fixed(b'a.wav') + struct.pack('<iBi', 0, 1, 0) + bytes([0])
open(sys.argv[2], 'wb').write(p1)
PY
seed project_fuzzer "$tmp/p2.vrp" "$tmp/p1.vrp"

# Batch scripts: Amplify 50 % then a compressor; an envelope with two points.
printf '\000\003\000\000\000\002\000\000\000\062\000\020\000\000\000\003\000\000\000\366\004\001' > "$tmp/b1.vrb"
{ printf '\000\011\000\000\000\201\000\000\000\002\000\200\377\200'; head -c 125 /dev/zero; } > "$tmp/b2.vrb"
seed batch_script_fuzzer "$tmp/b1.vrb" "$tmp/b2.vrb"

status=0
for fuzzer in "${fuzzers[@]}"; do
  mkdir -p "$findings/$fuzzer" "$corpus/$fuzzer"
  echo "== $fuzzer (${seconds}s)"
  # A single allocation above 64 MB is a finding: no input here needs one.
  if ! "$build/fuzz/$fuzzer" "$corpus/$fuzzer" -dict="$root/fuzz/formats.dict" \
      -max_total_time="$seconds" -max_len=8192 -timeout=10 -malloc_limit_mb=64 \
      -artifact_prefix="$findings/$fuzzer/" -print_final_stats=1 2>"$tmp/log"; then
    status=1
    grep -E "ERROR|SUMMARY|broken source promise|Test unit written" "$tmp/log" || tail -20 "$tmp/log"
  fi
  grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb" "$tmp/log" || true
done
exit $status
