#!/usr/bin/env bash
# Each component against Debian's own tools, with the command lines the
# editor and the recorder give them: what our encoders write, Debian's
# decoders read, and our decoders read what Debian's encoders write.
# FLAC must come back bit for bit; the lossy codecs within a signal-to-noise
# ratio, measured after the codec's delay (up to 4,096 frames) is found. Our
# lossy decoders must also agree with Debian's decoder of the same file
# (within rounding: at least 90 dB), and the AMR components, over the same
# library as sox, bit for bit.
TEST_NAME=round_trip
source "$(dirname "$0")/component_test_common.sh"

make_signal stereo 44100 2 3
make_signal phone 8000 1 3
make_speech speech

# The minimum signal-to-noise ratios against the source, in dB. The test
# signal is tonal, so the perceptual codecs keep its waveform closely; the
# speech codecs (AMR, G.729) model a voice rather than its waveform and
# keep about 4 to 5 dB of it. Two decoders of one file differ only in their
# rounding.
snr_mp3=20 snr_ogg=20 snr_aac=20 snr_speech=3 snr_same=90

check_snr() {  # WHAT REFERENCE.raw DECODED.raw CHANNELS MIN_SNR
  local result
  if result=$(compare "$2" "$3" "$4" 4096 "$5"); then
    pass "$1: $result"
  else
    fail "$1: $result (at least $5 dB expected)"
  fi
}

echo "-- FLAC"
component flacenc --channels=2 --sample-rate=44100 --compression-level-5 \
  --endian=little --bps=16 --sign=signed -f - -o "$(win ours.flac)" <stereo.raw ||
  fail "flacenc ended with $?"
flac -s -d -f -o debian-decoded.wav ours.flac && to_raw debian-decoded.wav debian-decoded.raw
cmp -s stereo.raw debian-decoded.raw && pass "flacenc: flac -d gives the samples back bit for bit" ||
  fail "flacenc: flac -d does not give the samples back"
flac -s -f -o debian.flac stereo.wav
component flacdec -d -f -o "$(win ours-decoded.wav)" "$(win debian.flac)" || fail "flacdec ended with $?"
to_raw ours-decoded.wav ours-decoded.raw
cmp -s stereo.raw ours-decoded.raw && pass "flacdec: a file of flac decodes bit for bit" ||
  fail "flacdec: a file of flac does not decode bit for bit"
component flacenc --channels=1 --sample-rate=8000 --compression-level-8 \
  --endian=little --bps=16 --sign=signed -f - -o "$(win mono.flac)" <phone.raw
flac -s -d -f --force-raw-format --endian=little --sign=signed -o mono-decoded.raw mono.flac
cmp -s phone.raw mono-decoded.raw && pass "flacenc: mono at 8,000 Hz bit for bit" ||
  fail "flacenc: mono at 8,000 Hz is not bit for bit"

echo "-- MP3 (the component reads byte-swapped samples: -x)"
sox stereo.wav -t raw -e signed -b 16 -B stereo-swapped.raw
component mp3enc -m j -b 128 -h -r -x -s 44.100 -S - "$(win ours.mp3)" <stereo-swapped.raw ||
  fail "mp3enc ended with $?"
lame --quiet --decode -t ours.mp3 lame-decoded.raw 2>/dev/null ||
  mpg123 -q -s ours.mp3 >lame-decoded.raw
check_snr "mp3enc CBR 128 kbps, lame --decode" stereo.raw lame-decoded.raw 2 $snr_mp3
mpg123 -q -s ours.mp3 >mpg123-decoded.raw
check_snr "mp3enc CBR 128 kbps, mpg123" stereo.raw mpg123-decoded.raw 2 $snr_mp3
component mp3enc -m j -v -b 32 -B 192 -V 4 -r -x -s 44.100 -S - "$(win vbr.mp3)" <stereo-swapped.raw
mpg123 -q -s vbr.mp3 >vbr-decoded.raw
check_snr "mp3enc VBR 32-192 kbps, mpg123" stereo.raw vbr-decoded.raw 2 $snr_mp3
sox phone.wav -t raw -e signed -b 16 -B phone-swapped.raw
component mp3enc -m m -b 16 -r -x -s 8.000 -S - "$(win phone.mp3)" <phone-swapped.raw
mpg123 -q -s phone.mp3 >phone-mp3-decoded.raw
check_snr "mp3enc mono 16 kbps at 8,000 Hz, mpg123" phone.raw phone-mp3-decoded.raw 1 10

echo "-- Ogg Vorbis"
component oggenc -C 2 -R 44100 -q 4 -Q - -o "$(win ours.ogg)" <stereo.raw || fail "oggenc ended with $?"
oggdec -Q -R -o debian-ogg.raw ours.ogg
check_snr "oggenc quality 4, oggdec" stereo.raw debian-ogg.raw 2 $snr_ogg
component oggenc -C 2 -R 44100 --downmix -m 64 -M 96 --discard-comments -Q - -o "$(win downmix.ogg)" <stereo.raw ||
  fail "oggenc with --downmix and -m/-M ended with $?"
[ "$(soxi -c downmix.ogg 2>/dev/null)" = 1 ] && pass "oggenc --downmix writes one channel" ||
  fail "oggenc --downmix does not write one channel"
oggenc -Q -q 4 -o debian.ogg stereo.wav
component oggdec -o "$(win ours-ogg.wav)" "$(win debian.ogg)" || fail "oggdec ended with $?"
to_raw ours-ogg.wav ours-ogg.raw
check_snr "oggdec, a file of oggenc" stereo.raw ours-ogg.raw 2 $snr_ogg
oggdec -Q -R -o debian-ogg-of-debian.raw debian.ogg
check_snr "oggdec agrees with Debian's oggdec" debian-ogg-of-debian.raw ours-ogg.raw 2 $snr_same

echo "-- AAC"
component aacenc -C 2 -R 44100 -q 100 -X - -o "$(win ours.aac)" <stereo.raw || fail "aacenc ended with $?"
ffmpeg -v error -y -i ours.aac -f s16le -ac 2 ffmpeg-aac.raw
check_snr "aacenc quality 100 (ADTS), ffmpeg" stereo.raw ffmpeg-aac.raw 2 $snr_aac
component aacenc -C 2 -R 44100 -b 96 --mpeg-vers 2 --no-tns -X - -o "$(win mpeg2.aac)" <stereo.raw ||
  fail "aacenc with --mpeg-vers 2 --no-tns ended with $?"
# The ADTS header's ID bit marks MPEG-2 AAC.
[ "$(head -c 2 mpeg2.aac | xxd -p)" = fff9 ] && pass "aacenc --mpeg-vers 2 marks its frames MPEG-2" ||
  fail "aacenc --mpeg-vers 2 frames begin $(head -c 2 mpeg2.aac | xxd -p)"
ffmpeg -v error -y -i mpeg2.aac -f s16le -ac 2 ffmpeg-mpeg2.raw
check_snr "aacenc MPEG-2 96 kbps, ffmpeg" stereo.raw ffmpeg-mpeg2.raw 2 $snr_aac
component aacenc -C 2 -R 44100 -b 128 -X - -o "$(win ours.m4a)" <stereo.raw || fail "aacenc .m4a ended with $?"
ffmpeg -v error -y -i ours.m4a -f s16le -ac 2 ffmpeg-m4a.raw
check_snr "aacenc 128 kbps (MP4), ffmpeg" stereo.raw ffmpeg-m4a.raw 2 $snr_aac
for container in aac m4a; do
  ffmpeg -v error -y -i stereo.wav -c:a aac -b:a 128k debian.$container
  component aacdec -d -o "$(win ours-$container.wav)" "$(win debian.$container)" ||
    fail "aacdec .$container ended with $?"
  to_raw ours-$container.wav ours-$container.raw
  check_snr "aacdec, a .$container file of ffmpeg" stereo.raw ours-$container.raw 2 $snr_aac
  ffmpeg -v error -y -i debian.$container -f s16le -ac 2 ffmpeg-of-debian-$container.raw
  check_snr "aacdec agrees with ffmpeg on a .$container file" ffmpeg-of-debian-$container.raw \
    ours-$container.raw 2 $snr_same
done

echo "-- AMR-NB"
# sox numbers the modes 0 (MR475) to 7 (MR122).
for mode in MR122:7 MR74:4 MR475:0; do
  number=${mode#*:} mode=${mode%:*}
  component amrenc $mode - "$(win ours-$mode.amr)" <speech.raw || fail "amrenc $mode ended with $?"
  sox -t amr-nb ours-$mode.amr -t raw -e signed -b 16 -L sox-$mode.raw
  check_snr "amrenc $mode, sox" speech.raw sox-$mode.raw 1 $snr_speech
  # sox sends silence as comfort noise (DTX), we send every frame as
  # speech: on a sound without pauses the two files are the same.
  component amrenc $mode - "$(win tones-$mode.amr)" <phone.raw
  sox phone.wav -C $number -t amr-nb sox-tones-$mode.amr
  cmp -s sox-tones-$mode.amr tones-$mode.amr && pass "amrenc $mode writes what sox writes" ||
    fail "amrenc $mode differs from sox"
done
[ "$(stat -c %s ours-MR122.amr)" -gt "$(stat -c %s ours-MR475.amr)" ] &&
  pass "amrenc: MR122 writes more than MR475" || fail "amrenc ignores the mode"
sox speech.wav -C 7 -t amr-nb debian.amr
component amrdec "$(win debian.amr)" "$(win ours-amr.raw)" || fail "amrdec ended with $?"
check_snr "amrdec, a file of sox" speech.raw ours-amr.raw 1 $snr_speech
# The measure has teeth: the same sound with its bytes swapped is refused.
dd if=ours-amr.raw of=swapped-amr.raw conv=swab status=none
compare speech.raw swapped-amr.raw 1 4096 $snr_speech >/dev/null &&
  fail "byte-swapped speech passes the SNR check" || pass "byte-swapped speech fails the SNR check"
sox -t amr-nb debian.amr -t raw -e signed -b 16 -L sox-of-debian.raw
cmp -s sox-of-debian.raw ours-amr.raw && pass "amrdec decodes as sox does, bit for bit" ||
  fail "amrdec decodes differently from sox"

echo "-- ACT dictaphone files (G.729)"
make_act speech.raw debian.act
component actdec "$(win debian.act)" "$(win ours-act.wav)" || fail "actdec ended with $?"
to_raw ours-act.wav ours-act.raw
check_snr "actdec, G.729 of bcg729" speech.raw ours-act.raw 1 $snr_speech
# Debian's ffmpeg reports the end of an ACT file as invalid data.
ffmpeg -v quiet -y -i debian.act -f s16le ffmpeg-act.raw || true
check_snr "actdec agrees with ffmpeg" ffmpeg-act.raw ours-act.raw 1 $snr_same

echo "-- Shorten"
make_shn stereo.raw 2 stereo.shn
# Debian's ffmpeg vouches for the file first.
ffmpeg -v error -y -i stereo.shn -f s16le ffmpeg-shn.raw
cmp -s stereo.raw ffmpeg-shn.raw || fail "the Shorten file itself does not decode in ffmpeg"
component shndec -x "$(win stereo.shn)" "$(win ours-shn.wav)" || fail "shndec ended with $?"
to_raw ours-shn.wav ours-shn.raw
cmp -s stereo.raw ours-shn.raw && pass "shndec decodes a stereo Shorten file bit for bit" ||
  fail "shndec does not decode a Shorten file bit for bit"

finish
