#!/usr/bin/env bash
# End-to-end test of projects, bookmarks and regions in the editor under
# Wine: two files made by sox (one stereo 24-bit) get bookmarks and three
# regions, the project is saved, closed and opened again, and the files'
# samples, their cursor and selection, the bookmarks and the regions are as
# they were; regions are exported and assembled; a damaged project keeps the
# files read before the damage and says it cannot be loaded.
# Usage: projects_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=projects
source "$(dirname "$0")/e2e_common.sh"

kName=101 kList=101
name_it() {
  drive dialog-wait "$1" 20 || fail "no \"$1\" question"
  drive dialog-set "$1" $kName "$2" >/dev/null
  drive answer "$1" 1 10 >/dev/null
  drive dialog-gone "$1" 20 || fail "\"$1\" stayed open"
}
# The rows of a list window, then the window closed.
list_rows() {
  drive post "$1" >/dev/null
  drive dialog-wait "$2" 20 || fail "no \"$2\" window"
  drive dialog-list "$2" $kList
  drive answer "$2" 2 10 >/dev/null
  drive dialog-gone "$2" 20 || fail "\"$2\" stayed open"
}
# Cursor, selection start and selection end of the active file.
place() { for field in 109 106 107; do drive field $field; done | tr '\n' ' '; }

sox -V1 -n -r 44100 -c 2 -b 24 "$work/tone.wav" synth 1.5 sine 440 sine 660 vol 0.5
sox -V1 -n -r 22050 -c 1 -b 16 "$work/voice.wav" synth 1 sine 300 vol 0.5

start_editor "$(win "$work/tone.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
start_editor "$(win "$work/voice.wav")"
for _ in $(seq 50); do [ "$(drive documents | wc -l)" = 2 ] && break; sleep 0.2; done
[ "$(drive documents | sort | tr '\n' ' ')" = "tone.wav voice.wav " ] || fail "the files are not open: $(drive documents)"
# Each file saved under a name of its own: what they hold now is the reference.
drive activate tone.wav && save_active_as "$work/tone-a.wav"
drive activate voice.wav && save_active_as "$work/voice-a.wav"

echo "-- bookmarks and regions are set"
drive activate tone-a.wav
drive click-wave 0.25 >/dev/null && drive post 8001 >/dev/null && name_it "Enter Bookmark Name" "Intro"
drive click-wave 0.5 >/dev/null && drive post 8001 >/dev/null && name_it "Enter Bookmark Name" "Middle"
drive click-wave 0.75 >/dev/null && drive post 8001 >/dev/null && name_it "Enter Bookmark Name" "middle"
drive answer "BookMark Exist" 7 10 >/dev/null || fail "a used bookmark name was not asked about"
drive drag-wave 0.1 0.4 >/dev/null && drive post 8004 >/dev/null && name_it "Enter Region Name" "First"
drive drag-wave 0.5 0.9 >/dev/null && drive post 8004 >/dev/null && name_it "Enter Region Name" "Second"
tone_place=$(place)
drive activate voice-a.wav
drive drag-wave 0.2 0.6 >/dev/null && drive post 8004 >/dev/null && name_it "Enter Region Name" "Third"
drive click-wave 0.3 >/dev/null && drive post 8001 >/dev/null && name_it "Enter Bookmark Name" "Voice"
voice_place=$(place)
drive activate tone-a.wav
tone_marks=$(list_rows 8003 "Bookmark List - tone-a.wav")
[ "$(echo "$tone_marks" | cut -f1 | tr '\n' ' ')" = "Intro Middle " ] || fail "bookmarks of tone-a.wav: $tone_marks"
echo "$tone_marks" | grep -q $'^Middle\t0:00:00.7' || fail "the bookmark is not in the middle: $tone_marks"
regions=$(list_rows 8000 "Region List")
[ "$(echo "$regions" | cut -f1,2 | tr '\t\n' ': ')" = "First:tone-a.wav Second:tone-a.wav Third:voice-a.wav " ] ||
  fail "regions: $regions"

echo "-- the project is saved, closed and opened again"
drive post 1016 >/dev/null
drive dialog-wait "Save As" 30 || fail "no save dialog for the project"
drive dialog-set "Save As" 1148 "$(win "$work/session.vrp")" >/dev/null
drive answer "Save As" 1 10 >/dev/null
drive dialog-gone "Save As" 20 || fail "the save dialog stayed open"
for _ in $(seq 50); do [ -s "$work/session.vrp" ] && break; sleep 0.2; done
[ -s "$work/session.vrp" ] || fail "no project file"
drive title | grep -q '^Razavo - .*session$' || fail "the title does not name the project: $(drive title)"
[ -z "$(find "$work" -name '.session.vrp.*')" ] || fail "a temporary file was left"
drive command 1014 >/dev/null
[ -z "$(drive documents)" ] || fail "files stayed open after Close Project: $(drive documents)"
[ "$(drive title)" = "Razavo" ] || fail "the title after Close Project: $(drive title)"

drive handover 33284 2 razavo.exe "$(win "$work/session.vrp")" >/dev/null
[ "$(drive documents | sort | tr "\n" " ")" = "tone-a.wav voice-a.wav " ] || fail "the project opened: $(drive documents)"
drive title | grep -q '^Razavo - .*session$' || fail "the title does not name the project: $(drive title)"
drive activate tone-a.wav
[ "$(place)" = "$tone_place" ] || fail "tone-a.wav stands at $(place), not $tone_place"
[ "$(list_rows 8003 "Bookmark List - tone-a.wav")" = "$tone_marks" ] || fail "the bookmarks changed"
save_active_as "$work/tone-b.wav"
drive activate voice-a.wav
[ "$(place)" = "$voice_place" ] || fail "voice-a.wav stands at $(place), not $voice_place"
[ "$(list_rows 8003 "Bookmark List - voice-a.wav" | cut -f1)" = "Voice" ] || fail "the voice bookmark is gone"
save_active_as "$work/voice-b.wav"
cmp "$work/tone-a.wav" "$work/tone-b.wav" || fail "the stereo file's samples changed"
cmp "$work/voice-a.wav" "$work/voice-b.wav" || fail "the mono file's samples changed"
[ "$(soxi -b "$work/tone-b.wav")" = 24 ] && [ "$(soxi -c "$work/tone-b.wav")" = 2 ] || fail "not stereo 24-bit"
[ "$(list_rows 8000 "Region List")" = "$regions" ] || fail "the regions changed: $(list_rows 8000 "Region List")"

echo "-- regions are exported, copied and assembled"
mkdir -p "$work/export"
drive post 8000 >/dev/null
drive dialog-wait "Region List" 20 || fail "no region list"
import -window root "$work/region-list.png" || true
drive dialog-pick "Region List" $kList 0 >/dev/null
drive answer "Region List" 116 10 >/dev/null
drive dialog-wait "Export Region(s) to Folder" 20 || fail "no export dialog"
drive dialog-set "Export Region(s) to Folder" 101 "$(win "$work/export")" >/dev/null
drive dialog-pick "Export Region(s) to Folder" 103 1 >/dev/null  # AIFF
drive answer "Export Region(s) to Folder" 1 10 >/dev/null
for _ in $(seq 50); do [ -s "$work/export/First.aif" ] && break; sleep 0.2; done
[ -s "$work/export/First.aif" ] || fail "the region was not exported"
[ "$(soxi -c "$work/export/First.aif")" = 2 ] || fail "the exported region is not stereo"
length=$(soxi -D "$work/export/First.aif")
awk -v l="$length" 'BEGIN { exit !(l > 0.3 && l < 0.6) }' || fail "the exported region lasts $length s"
# Copy to CD hands WAVE files of the regions to the burner's registered command.
burner_key='HKCU\Software\Zedirad\VuzivoApp\Settings'
wine reg add "$burner_key" /v CopyCD /d "\"$(win "$driver")\" note-list \"$(win "$work/burned.txt")\" %s" /f >/dev/null
trap 'wine reg delete "$burner_key" /f >/dev/null 2>&1 || true' EXIT
drive dialog-pick "Region List" $kList 1 >/dev/null
drive answer "Region List" 117 10 >/dev/null
for _ in $(seq 100); do grep -q '\.wav' "$work/burned.txt" 2>/dev/null && break; sleep 0.2; done
burned=$(tr -d '\r' <"$work/burned.txt" 2>/dev/null || true)
[ "$(echo "$burned" | head -3 | tr '\n' ' ')" = "-type audio -list " ] || fail "the burner was started with: $burned"
track=$(echo "$burned" | grep -i '\\Second\.wav$' || true)
[ -n "$track" ] || fail "the burner's list names no Second.wav: $burned"
[ "$(soxi -c "$(winepath -u "$track")")" = 2 ] || fail "the track for the burner is not the stereo region"
drive dialog-gone "Run VuzivoApp" 20 || fail "the wait for the burner did not end"
drive dialog-pick "Region List" $kList 2 >/dev/null
drive answer "Region List" 113 10 >/dev/null  # Copy Region to New File
# Renamed to a used name, then to one no file can have: Save Region refuses it.
drive answer "Region List" 111 10 >/dev/null && name_it "Rename Region" "first"
drive answer "Region Name Exists" 1 10 >/dev/null || fail "a used region name was taken"
drive answer "Region List" 111 10 >/dev/null && name_it "Rename Region" "Bad/Name"
[ "$(drive dialog-list "Region List" $kList | sed -n 3p | cut -f1)" = "Bad/Name" ] || fail "the region was not renamed"
drive answer "Region List" 112 10 >/dev/null
drive dialog-wait "File Name Invalid" 20 || fail "a region name with a slash was saved"
drive answer "File Name Invalid" 1 10 >/dev/null
drive answer "Region List" 2 10 >/dev/null
drive dialog-gone "Region List" 20 || fail "the region list stayed open"
drive documents | grep -qx "Untitled 1" || fail "no new file from the region: $(drive documents)"
[ "$(drive field 130)" = "$(echo "$regions" | sed -n 3p | cut -f3)" ] || fail "the copied region lasts $(drive field 130)"
drive command 8005 >/dev/null
drive documents | grep -qx "Untitled 2" || fail "no assembled file: $(drive documents)"
assembled=$(drive field 130)
# The three regions at the first one's rate, one after the other.
expected=$(echo "$regions" | cut -f3 | awk -F: '{ s += $1 * 3600 + $2 * 60 + $3 } END { printf "%.2f", s }')
got=$(echo "$assembled" | awk -F: '{ printf "%.2f", $1 * 3600 + $2 * 60 + $3 }')
awk -v a="$got" -v b="$expected" 'BEGIN { exit !(a - b < 0.05 && b - a < 0.05) }' ||
  fail "the assembled file lasts $assembled, the regions $expected s"

echo "-- a damaged project keeps what was read and says so"
# Cut inside the second file: the stereo one (529,200 bytes of samples) is whole.
head -c 570000 "$work/session.vrp" >"$work/cut.vrp"
drive command 1014 >/dev/null &
drive answer "Razavo" 7 10 >/dev/null || true  # do not save the project's changes
for _ in 1 2 3 4; do drive answer "Razavo" 7 3 >/dev/null || break; done  # nor the new files
wait
[ -z "$(drive documents)" ] || fail "files stayed open: $(drive documents)"
drive handover 33284 2 razavo.exe "$(win "$work/cut.vrp")" >/dev/null &
drive dialog-wait "Razavo" 30 || fail "no message about the damaged project"
drive answer "Razavo" 1 10 >/dev/null
wait
[ "$(drive documents | tr '\n' ' ')" = "tone-a.wav " ] || fail "after the damage: $(drive documents)"
[ "$(drive title)" = "Razavo" ] || fail "a project that did not load whole is open: $(drive title)"

echo "-- regions made without a project are asked about before Exit drops them"
drive drag-wave 0.1 0.2 >/dev/null && drive post 8004 >/dev/null && name_it "Enter Region Name" "Loose"
drive close >/dev/null
drive dialog-wait "Razavo" 20 || fail "Exit did not ask about the regions"
question=$(drive dialog-get "Razavo" 65535)
[ "$question" = "Save changes to current project?" ] || fail "Exit asked: $question"
drive answer "Razavo" 2 10 >/dev/null
drive dialog-gone "Razavo" 20 || fail "the question stayed"
[ "$(drive documents)" = "tone-a.wav" ] || fail "a cancelled Exit closed files: $(drive documents)"
drive close >/dev/null
drive answer "Razavo" 7 10 >/dev/null || fail "Exit did not ask again"
for _ in 1 2 3; do drive answer "Razavo" 7 3 >/dev/null || break; done
drive wait-gone 30 >/dev/null || fail "the editor did not exit"
echo "PASS"
