#!/usr/bin/env bash
# End-to-end test of opening files of other formats in the editor under Wine:
# FLAC, Ogg Vorbis, AAC (ADTS and MP4), AMR, ACT, Shorten and WMA files
# written by Debian's tools open through the decoder components (registered here as an
# installer would) or the system's media framework, with the samples of
# Debian's own decoders; a damaged file, a component that cannot be
# installed, a file no importer knows and a Cancel each end as they should.
# Usage: import_open_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=import_open
source "$(dirname "$0")/e2e_common.sh"

components_key='HKCU\Software\Zedirad\Components'
programs=$build/component-programs
register() {  # COMPONENT PROGRAM-FILE
  wine reg add "$components_key\\$1" /v Path /d "$(win "$programs/$2")" /f >/dev/null
}
unregister() {
  wine reg delete "$components_key\\$1" /f >/dev/null 2>&1 || true
  wine reg delete "HKLM\\Software\\Zedirad\\Components\\$1" /f >/dev/null 2>&1 || true
}
for c in flacdec oggdec aacdec amrdec shndec actdec; do unregister $c; done
register flacdec flacdec.exe
register oggdec oggdec.exe
register aacdec aacdec.exe
register amrdec amrdec.exe
register shndec shndec.exe
# Nothing is downloaded in this test: both hosts refuse at once.
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v ComponentHost /d 127.0.0.1:9 /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v WebHost /d 127.0.0.1:9 /f >/dev/null

# The imports' temporary files, none left from an earlier run.
temp_folder=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
[ -d "$temp_folder" ] || fail "no temporary folder: '$temp_folder'"
rm -f "$temp_folder"/Temp*.wav "$temp_folder"/Temp*.raw

failures=0
check() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Compares two files of 16-bit samples: the same count, and no sample
# further apart than TOLERANCE steps. Prints the largest difference.
same_samples() {  # REFERENCE.raw DECODED.raw TOLERANCE
  python3 - "$@" <<'PY'
import sys, array
a, b = array.array('h'), array.array('h')
a.frombytes(open(sys.argv[1], 'rb').read()); b.frombytes(open(sys.argv[2], 'rb').read())
if len(a) != len(b):
    print(f"{len(b)} samples, the reference has {len(a)}"); sys.exit(1)
worst = max((abs(x - y) for x, y in zip(a, b)), default=0)
print(f"{len(a)} samples, largest difference {worst}")
sys.exit(0 if worst <= int(sys.argv[3]) else 1)
PY
}

# The same for a decoding that starts SHIFT samples later than the
# reference's: from there on no sample is further apart than TOLERANCE
# steps, and the two have at least 95 % of the reference in common.
shifted_samples() {  # REFERENCE.raw DECODED.raw TOLERANCE SHIFT
  python3 - "$@" <<'PY'
import sys, array
a, b = array.array('h'), array.array('h')
a.frombytes(open(sys.argv[1], 'rb').read()); b.frombytes(open(sys.argv[2], 'rb').read())
shift = int(sys.argv[4])
common = list(zip(a, b[shift:]))
if len(common) < 0.95 * len(a):
    print(f"{len(b)} samples, only {len(common)} in common with the reference's {len(a)}"); sys.exit(1)
worst = max(abs(x - y) for x, y in common)
print(f"{len(b)} samples, the reference's {len(a)} from sample {shift} on, {len(common)} compared, "
      f"largest difference {worst}")
sys.exit(0 if worst <= int(sys.argv[3]) else 1)
PY
}

# Opens FILE in the editor, saves it as WAVE and compares its samples with
# REFERENCE.raw within TOLERANCE (and SHIFT, see shifted_samples).
expect_opens_like() {  # WHAT FILE REFERENCE.raw TOLERANCE [SHIFT]
  local what=$1 file=$2 reference=$3 tolerance=$4 shift=${5:-} name
  name=$(basename "$file")
  drive handover 33284 2 razavo.exe "$(win "$file")" >/dev/null
  if [ "$(drive documents | tail -n 1)" != "$name" ]; then
    check "$what: $name did not open ($(drive documents | tr '\n' ' '))"
    drive answer Razavo 1 2 >/dev/null 2>&1 || true
    return
  fi
  import -window root "$work/$name.png" || true
  save_active_as "$work/$name.wav"
  sox -V1 "$work/$name.wav" -t raw -e signed -b 16 -L "$work/$name.raw"
  if [ -n "$shift" ]; then
    result=$(shifted_samples "$reference" "$work/$name.raw" "$tolerance" "$shift") && status=0 || status=1
  else
    result=$(same_samples "$reference" "$work/$name.raw" "$tolerance") && status=0 || status=1
  fi
  if [ "$status" = 0 ]; then
    echo "ok: $what: $result"
  else
    check "$what: $result"
  fi
  drive command 1003 >/dev/null
}

# Expects the message TEXT after opening FILE, and no new document.
expect_message() {  # WHAT FILE TEXT
  local before
  before=$(drive documents | wc -l)
  (wine "$editor" "$(win "$2")" >/dev/null 2>&1 &)
  if ! drive dialog-wait Razavo 60 >/dev/null; then
    check "$1: no message"
    return
  fi
  said=$(drive dialog-get Razavo 65535)
  [ "$said" = "$3" ] && echo "ok: $1" || check "$1: the message was: $said"
  drive answer Razavo 1 20 >/dev/null
  drive dialog-gone Razavo 20 || check "$1: the message stayed"
  [ "$(drive documents | wc -l)" = "$before" ] || check "$1: a document was opened"
}

cd "$work"
sox -V1 -n -r 44100 -c 2 -b 16 music.wav synth 3.3 sine 300-2500 synth pinknoise mix gain -6
sox -V1 music.wav -t raw music.raw
espeak-ng -w speech-22k.wav "Recording number seven. The quick brown fox jumps over the lazy dog."
sox -V1 speech-22k.wav -r 8000 -c 1 -b 16 speech.wav

start_editor
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- FLAC: flac's file, bit for bit"
flac -s -f -o music.flac music.wav
flac -s -d -f --force-raw-format --endian=little --sign=signed -o flac-reference.raw music.flac
expect_opens_like "FLAC" music.flac flac-reference.raw 0

echo "-- Ogg Vorbis: oggenc's file, as oggdec decodes it"
oggenc -Q -q 4 -o music.ogg music.wav
oggdec -Q -R -o ogg-reference.raw music.ogg
expect_opens_like "Ogg Vorbis" music.ogg ogg-reference.raw 1

echo "-- AAC: ffmpeg's ADTS and MP4 files, as ffmpeg decodes them"
for container in aac m4a; do
  ffmpeg -v error -y -i music.wav -c:a aac -b:a 128k music.$container
  ffmpeg -v error -y -i music.$container -f s16le -ac 2 $container-reference.raw
  expect_opens_like "AAC (.$container)" music.$container $container-reference.raw 1
done

echo "-- AMR: sox's file, as sox decodes it"
sox -V1 speech.wav -C 7 -t amr-nb speech.amr
sox -V1 -t amr-nb speech.amr -t raw -e signed -b 16 -L amr-reference.raw
expect_opens_like "AMR" speech.amr amr-reference.raw 0

echo "-- ACT dictaphone file (G.729 of Debian's bcg729), as ffmpeg decodes it"
register actdec actdec.exe
cc -O2 -o act_file_maker "$root/components/tests/act_file_maker.c" -lbcg729
sox -V1 speech.wav -t raw -e signed -b 16 -L speech.raw
./act_file_maker <speech.raw >memo.act
# ffmpeg decodes the file whole, then calls its end invalid data.
ffmpeg -v quiet -y -i memo.act -f s16le act-reference.raw || true
expect_opens_like "ACT" memo.act act-reference.raw 0

echo "-- Shorten: a file ffmpeg vouches for, bit for bit"
cc -O2 -o shn_file_maker "$root/components/tests/shn_file_maker.c"
./shn_file_maker 2 <music.raw >music.shn
ffmpeg -v error -y -i music.shn -f s16le shn-reference.raw
cmp -s music.raw shn-reference.raw || check "ffmpeg does not decode the Shorten file to its source"
expect_opens_like "Shorten" music.shn shn-reference.raw 0

echo "-- WMA through the system's media framework, as ffmpeg decodes it"
# Wine renders it through GStreamer's ASF demuxer and libav's WMA decoder.
# Measured against the source: that decoding keeps the codec's 2,048 frames
# of delay in front, while ffmpeg's command line starts 2,048 frames into the
# source; the samples are the same, 4,096 frames apart.
ffmpeg -v error -y -i music.wav -c:a wmav2 -b:a 128k music.wma
ffmpeg -v error -y -i music.wma -f s16le -ac 2 wma-reference.raw
expect_opens_like "WMA" music.wma wma-reference.raw 1 $((4096 * 2))

echo "-- every import decoded into temporary number 1: each was let go once read"
numbers=$(cd "$temp_folder" && ls Temp*.wav Temp*.raw 2>/dev/null | tr '\n' ' ')
[ "$numbers" = "Temp1.raw Temp1.wav " ] && echo "ok: temporary files: $numbers" ||
  check "temporary files: '$numbers'"

echo "-- a damaged Ogg file: the decoder's failure is the corrupt-file message"
head -c 20000 music.ogg >cut.ogg
expect_message "cut Ogg" cut.ogg "Cannot open the file \"$(win cut.ogg)\" because it is corrupt."

echo "-- a component that cannot be installed on demand"
unregister actdec
printf 'not really a dictaphone file' >other.act
expect_message "actdec missing" other.act "This program cannot install the required on-demand component \"actdec\".

Please download it from https://www.zedirad.com/components/ and install it manually."

echo "-- a file no importer knows"
printf 'nothing any decoder knows\n%.0s' $(seq 40) >notes.xyz
expect_message "unknown format" notes.xyz "Cannot open the file \"$(win notes.xyz)\" because its format is not supported, or a codec or plug-in that it needs is not installed.

See https://www.zedirad.com/help/formats.html for the formats that can be opened and the codecs they need."

echo "-- Cancel while a decoder runs: nothing opens, nothing is said"
# A stand-in decoder that never ends by itself: the command interpreter,
# waiting for commands in its hidden console.
wine reg add "$components_key\\shndec" /v Path /d 'C:\windows\system32\cmd.exe' /f >/dev/null
before=$(drive documents | wc -l)
# Command interpreters running in this test's Wine.
interpreters() { wine wmic process get name 2>/dev/null | tr -d '\0\r' | grep -ci '^cmd\.exe' || true; }
[ "$(interpreters)" = 0 ] || check "a command interpreter runs before the test"
(wine "$editor" "$(win music.shn)" >/dev/null 2>&1 &)
drive dialog-wait "Decoding Shn file" 60 >/dev/null || check "no import progress dialog"
sleep 1
import -window root "$work/import-progress.png" || true
[ "$(interpreters)" = 1 ] || check "the stand-in decoder is not running: $(interpreters)"
lines=$(drive dialog-read-cancel "Decoding Shn file" 60 100) || check "no import progress dialog to cancel"
[ "$lines" = "$(win music.shn)" ] && echo "ok: the import's title and file" || check "the progress dialog showed: $lines"
drive dialog-gone "Decoding Shn file" 20 || check "the progress dialog stayed after Cancel"
sleep 1
[ "$(drive documents | wc -l)" = "$before" ] || check "a document was opened after Cancel"
drive dialog-gone Razavo 0 || check "a message after Cancel"
[ "$(interpreters)" = 0 ] && echo "ok: Cancel ended the decoder" || check "the decoder still runs after Cancel"
register shndec shndec.exe

drive close >/dev/null 2>&1 || true
drive wait-gone 20 >/dev/null || true
[ "$failures" = 0 ] || fail "$failures check(s) failed"
echo "PASS"
