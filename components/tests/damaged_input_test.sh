#!/usr/bin/env bash
# A decoder component ends with a non-zero exit code when its input is
# missing, not of its format, cut short or (where the format can tell)
# damaged, and leaves no output that could pass for the whole sound. An
# encoder that cannot write its output says so too.
TEST_NAME=damaged_input
source "$(dirname "$0")/component_test_common.sh"

make_signal stereo 44100 2 2
make_signal phone 8000 1 2
flac -s -f -o good.flac stereo.wav
oggenc -Q -q 4 -o good.ogg stereo.wav
ffmpeg -v error -y -i stereo.wav -c:a aac -b:a 128k good.aac
ffmpeg -v error -y -i stereo.wav -c:a aac -b:a 128k good.m4a
sox phone.wav -C 7 -t amr-nb good.amr
head -c 20000 /dev/urandom >noise.bin

cut_short() { head -c $(($(stat -c %s "$1") * 6 / 10)) "$1" >"$2"; }
# Flips every bit of one byte at the given fraction of the file.
flip_byte() {
  cp "$1" "$2"
  local at=$(($(stat -c %s "$1") * $3 / 100))
  local byte=$(od -An -tu1 -j "$at" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $((byte ^ 255)))" | dd of="$2" bs=1 seek="$at" conv=notrunc status=none
}

# decoder NAME ARGUMENTS...: the input and output are the words IN and OUT.
expect_refused() {  # WHAT INPUT NAME ARGS...
  local what=$1 input=$2 name=$3; shift 3
  local output=$work/out-$name-$RANDOM.wav args=() status=0
  for a in "$@"; do
    case $a in IN) args+=("$(win "$input")") ;; OUT) args+=("$(win "$output")") ;; *) args+=("$a") ;; esac
  done
  component "$name" "${args[@]}" || status=$?
  if [ "$status" -eq 0 ]; then
    fail "$name accepts $what"
  elif [ -s "$output" ]; then
    fail "$name refuses $what (exit $status) but leaves $(stat -c %s "$output") bytes of output"
  else
    pass "$name refuses $what (exit $status)"
  fi
}
expect_accepted() {  # sanity: the undamaged file decodes with exit code 0
  local input=$1 name=$2; shift 2
  local output=$work/good-$name.wav args=()
  for a in "$@"; do
    case $a in IN) args+=("$(win "$input")") ;; OUT) args+=("$(win "$output")") ;; *) args+=("$a") ;; esac
  done
  if component "$name" "${args[@]}" && [ -s "$output" ]; then pass "$name decodes an undamaged file"
  else fail "$name fails on an undamaged file"; fi
}

check_decoder() {  # NAME GOOD-FILE FLIP-DETECTABLE ARGS...
  local name=$1 good=$2 flips=$3; shift 3
  local ext=${good##*.}
  expect_accepted "$good" "$name" "$@"
  cut_short "$good" "short.$ext"
  expect_refused "a file cut short" "short.$ext" "$name" "$@"
  cp noise.bin "noise.$ext"
  expect_refused "noise" "noise.$ext" "$name" "$@"
  : >"empty.$ext"
  expect_refused "an empty file" "empty.$ext" "$name" "$@"
  expect_refused "a missing file" "$work/missing.$ext" "$name" "$@"
  if [ "$flips" = yes ]; then
    flip_byte "$good" "flipped.$ext" 50
    expect_refused "a damaged byte" "flipped.$ext" "$name" "$@"
  fi
}

check_decoder flacdec good.flac yes -d -f -o OUT IN
check_decoder oggdec good.ogg yes -o OUT IN
check_decoder aacdec good.aac no -d -o OUT IN
check_decoder aacdec good.m4a no -d -o OUT IN
check_decoder amrdec good.amr no IN OUT
make_act phone.raw good.act
check_decoder actdec good.act no IN OUT
cp good.aac aac.act; expect_refused "an AAC file" aac.act actdec IN OUT
make_shn stereo.raw 2 good.shn
check_decoder shndec good.shn no -x IN OUT
cp good.flac flac.shn; expect_refused "a FLAC file" flac.shn shndec -x IN OUT
# The decoder alone ends quietly where a Shorten file is cut; the length
# its kept WAVE header states tells.
head -c $(($(stat -c %s good.shn) / 2)) good.shn >half.shn
expect_refused "a file cut in half" half.shn shndec -x IN OUT

echo "-- encoders that cannot write their output"
# A folder cannot be made where a file is (oggenc makes missing folders).
: >not-a-folder
nowhere=$(win "$work/not-a-folder/out")
expect_write_failure() {
  local name=$1 status=0; shift
  component "$name" "$@" <phone.raw || status=$?
  [ "$status" -ne 0 ] && pass "$name reports an output it cannot write (exit $status)" ||
    fail "$name reports success for an output it cannot write"
}
expect_write_failure flacenc --channels=1 --sample-rate=8000 --compression-level-4 \
  --endian=little --bps=16 --sign=signed -f - -o "$nowhere.flac"
expect_write_failure oggenc -C 1 -R 8000 -q 4 -Q - -o "$nowhere.ogg"
expect_write_failure mp3enc -m m -b 32 -r -x -s 8.000 -S - "$nowhere.mp3"
expect_write_failure aacenc -C 1 -R 8000 -q 100 -X - -o "$nowhere.aac"
expect_write_failure amrenc MR74 - "$nowhere.amr"
expect_write_failure amrenc MR99 - "$work/bad-mode.amr"

finish
