#!/usr/bin/env bash
# End-to-end test of audio tags in the editor under Wine: tags that Debian's
# tools wrote show in "Edit Audio Tags"; values edited there are saved into
# the MP3 (its cover picture and audio untouched) and the WAVE file, and
# travel to a file saved under a new name, as Debian's tools read them; other
# files get the message that they carry no tags.
# Usage: tags_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=tags
source "$(dirname "$0")/e2e_common.sh"

title="Edit Audio Tags"
kTitle=101 kArtist=102 kAlbum=103 kGenre=104 kTrack=105 kYear=106 kComment=107
open_tags() {
  drive post 1019 >/dev/null || fail "the editor is gone"
  drive dialog-wait "$title" 20 || fail "no \"$title\" dialog"
}
ok_tags() { drive answer "$title" 1 20 >/dev/null; drive dialog-gone "$title" 20 || fail "the dialog stayed"; }
save() { drive command 1004 >/dev/null || fail "the editor is gone"; }

sox -V1 -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 1.5 sine 440 vol 0.5
lame --quiet "$work/tone.wav" "$work/song.mp3"
head -c 2000 /dev/urandom >"$work/cover.jpg"
(cd "$work" && mid3v2 -t "First Title" -a "The Band" -A "An Album" -T 5 -g Rock \
  -p cover.jpg:Front:3:image/jpeg song.mp3)
mpg123 -q -s "$work/song.mp3" >"$work/before.raw"
cp "$work/tone.wav" "$work/voice.wav"
sox -V1 "$work/tone.wav" "$work/other.aif"

echo "-- the tags of an MP3 show in the dialog and are edited there"
start_editor "$(win "$work/song.mp3")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
[ "$(drive documents)" = "song.mp3" ] || fail "song.mp3 is not open: $(drive documents)"
open_tags
import -window root "$work/tags-dialog.png" || true
for check in "$kTitle:First Title" "$kArtist:The Band" "$kAlbum:An Album" "$kTrack:5" "$kGenre:Rock"; do
  shown=$(drive dialog-get "$title" "${check%%:*}")
  [ "$shown" = "${check#*:}" ] || fail "control ${check%%:*} shows \"$shown\", not \"${check#*:}\""
done
drive dialog-set "$title" $kTitle "Grüße, a title longer than thirty characters" >/dev/null
drive dialog-set "$title" $kGenre "Jpop" >/dev/null
drive dialog-set "$title" $kComment "tagged under Wine" >/dev/null
ok_tags
save
shown=$(mid3v2 -l "$work/song.mp3")
echo "$shown" | grep -qx "TIT2=Grüße, a title longer than thirty characters" || fail "mid3v2 shows: $shown"
echo "$shown" | grep -qx "TCON=Jpop" || fail "no genre: $shown"
echo "$shown" | grep -qx "TPE1=The Band" || fail "the artist was lost: $shown"
echo "$shown" | grep -q "^COMM=.*=tagged under Wine$" || fail "no comment: $shown"
echo "$shown" | grep -qx "APIC=cover front, Front (image/jpeg, 2000 bytes)" || fail "the cover was lost: $shown"
old=$(id3v2 -l "$work/song.mp3")
echo "$old" | grep -q "Genre: JPop (146)" || fail "ID3v1 as id3lib reads it: $old"
mpg123 -q -s "$work/song.mp3" >"$work/after.raw"
cmp -s "$work/before.raw" "$work/after.raw" || fail "the audio changed"
[ -z "$(find "$work" -name '.song.mp3.*')" ] || fail "a temporary file was left"

echo "-- a WAVE file's tags are saved, and travel to a file saved under a new name"
start_editor "$(win "$work/voice.wav")"
sleep 2
[ "$(drive documents | sort | tr '\n' ' ')" = "song.mp3 voice.wav " ] || fail "voice.wav is not open: $(drive documents)"
open_tags
drive dialog-set "$title" $kTitle "Voice Memo" >/dev/null
drive dialog-set "$title" $kArtist "Someone" >/dev/null
drive dialog-set "$title" $kAlbum "Notes" >/dev/null
ok_tags
save
wave_tags() { ffprobe -v error -show_entries format_tags -of flat "$1"; }
for file in voice.wav copy.wav; do
  [ "$file" = copy.wav ] && save_active_as "$work/copy.wav"
  shown=$(wave_tags "$work/$file")
  echo "$shown" | grep -q '="Someone"' || fail "$file: no artist: $shown"
  echo "$shown" | grep -q '="Notes"' || fail "$file: no album item: $shown"
  grep -q "Voice Memo" "$work/$file" || fail "$file: no title"
  [ "$(soxi -s "$work/$file")" = "$(soxi -s "$work/tone.wav")" ] || fail "$file: the length changed"
done
# An edit and a save rewrite the whole file: the tags are written again.
drive command 4018 >/dev/null  # Reverse the whole file
save
shown=$(wave_tags "$work/copy.wav")
echo "$shown" | grep -q '="Someone"' || fail "the tags were lost by saving again: $shown"
sox -V1 "$work/tone.wav" "$work/reversed-by-sox.wav" reverse
[ "$(sox "$work/copy.wav" -t raw - | md5sum)" = "$(sox "$work/reversed-by-sox.wav" -t raw - | md5sum)" ] ||
  fail "the saved audio is not the reversed tone"

echo "-- other files carry no tags"
start_editor "$(win "$work/other.aif")"
sleep 2
drive post 1019 >/dev/null
drive dialog-wait Razavo 20 || fail "no message for an AIFF file"
said=$(drive dialog-get Razavo 65535)
[ "$said" = "Only wav and mp3 files can have tags edited." ] || fail "the message was: $said"
drive answer Razavo 1 20 >/dev/null
drive dialog-gone Razavo 20 || fail "the message stayed"

drive close >/dev/null 2>&1 || true
drive answer Razavo 7 5 >/dev/null 2>&1 || true
drive wait-gone 20 >/dev/null || true
echo "PASS"
