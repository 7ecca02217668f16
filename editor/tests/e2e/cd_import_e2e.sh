#!/usr/bin/env bash
# End-to-end test of loading audio CD tracks under Wine: a disc image made
# here from a known signal (a ".cue" with its ".bin") is offered in the
# drive list of "Load Audio CD Track(s)", the track names come from our
# CDDB test server on 127.0.0.1, and the two tracks loaded open as new
# files whose samples are exactly those of the image.
# Usage: cd_import_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=cd_import
source "$(dirname "$0")/e2e_common.sh"
title="Load Audio CD Track(s)"

# Two tracks of 75 and 45 sectors (1 s and 0.6 s): a ramp on the left, a
# falling ramp on the right, so that every sample is different.
python3 - "$work/test disc.bin" <<'PY'
import struct, sys
frames = (75 + 45) * 588
with open(sys.argv[1], "wb") as out:
    out.write(b"".join(struct.pack("<hh", (f * 7) % 65536 - 32768, 32767 - (f * 13) % 65536) for f in range(frames)))
PY
printf 'FILE "test disc.bin" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    INDEX 01 00:01:00\r\n' \
  > "$work/test disc.cue"

python3 "$root/cd/tests/cddb_test_server.py" exact "$work/cddb.port" "$work/cddb.log" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$work/cddb.port" ] && break; sleep 0.1; done
[ -s "$work/cddb.port" ] || fail "the CDDB test server did not start"
wine reg add "$settings_key" /v CddbServer /d 127.0.0.1 /f >/dev/null
wine reg add "$settings_key" /v CddbPort /d "$(cat "$work/cddb.port")" /f >/dev/null
wine reg add "$settings_key" /v UseFreeDB /d 1 /f >/dev/null
wine reg add "$settings_key" /v CdImagePath /d "$(win "$work/test disc.cue")" /f >/dev/null

start_editor
drive wait-frame 60 >/dev/null || fail "the editor did not start"
drive post 1011 >/dev/null
drive dialog-wait "$title" 30 || fail "no \"$title\" dialog"

echo "-- the image is in the drive list and its tracks are listed with their CDDB names"
# Real CD-ROM drives of the prefix come first; pick the image's entry.
for index in 0 1 2 3 4 5 6 7 8; do
  [ "$(drive dialog-get "$title" 101)" = "Disc image: test disc.cue" ] && break
  drive dialog-pick "$title" 101 $index >/dev/null
done
[ "$(drive dialog-get "$title" 101)" = "Disc image: test disc.cue" ] || fail "the disc image is not in the drive list"
rows=0
for _ in $(seq 100); do
  rows=$(drive dialog-list-select "$title" 102) && [ "$rows" = 2 ] && break
  sleep 0.2
done
[ "$rows" = 2 ] || fail "the track list shows $rows rows, not 2"
for _ in $(seq 100); do [ -e "$work/cddb.port.done" ] && break; sleep 0.2; done
grep -q "^cddb query [0-9a-f]\{8\} 2 150 225 3$" "$work/cddb.log" || fail "no CDDB query for the image: $(cat "$work/cddb.log")"
grep -q "^cddb read rock " "$work/cddb.log" || fail "the CDDB entry was not read"
[ "$(wine reg query "$settings_key" /v UseFreeDB | tr -d '\r' | awk '/UseFreeDB/ {print $3}')" = 1 ] || fail "UseFreeDB changed"

drive dialog-list-select "$title" 102 0 1 >/dev/null || fail "cannot select the tracks"
import -window root "$work/cd-import-dialog.png" || true
drive answer "$title" 1 10 >/dev/null || fail "no Load button"
drive dialog-gone "$title" 60 || fail "the dialog stayed open"

echo "-- each track opened as a new file"
for _ in $(seq 120); do [ "$(drive documents | wc -l)" = 2 ] && break; sleep 0.5; done
[ "$(drive documents | wc -l)" = 2 ] || fail "not two documents: $(drive documents)"
import -window root "$work/cd-import-documents.png" || true

echo "-- their samples are exactly those of the image"
save_active_as "$work/second.wav"
for _ in $(seq 60); do [ -s "$work/second.wav" ] && break; sleep 0.5; done
drive command 1003 >/dev/null
for _ in $(seq 60); do [ "$(drive documents | wc -l)" = 1 ] && break; sleep 0.5; done
save_active_as "$work/first.wav"
for _ in $(seq 60); do [ -s "$work/first.wav" ] && break; sleep 0.5; done
python3 - "$work/test disc.bin" "$work/first.wav" "$work/second.wav" <<'PY' || fail "the loaded samples differ from the image"
import sys, wave
image = open(sys.argv[1], "rb").read()
tracks = [image[:75 * 2352], image[75 * 2352:]]
for path, expected in zip(sys.argv[2:], tracks):
    with wave.open(path) as w:
        assert (w.getframerate(), w.getnchannels(), w.getsampwidth()) == (44100, 2, 2), path
        data = w.readframes(w.getnframes())
    assert data == expected, "%s: %d bytes, %d expected" % (path, len(data), len(expected))
    print(path, "matches", len(data) // 4, "frames")
PY

drive close >/dev/null
drive answer Razavo 7 5 >/dev/null 2>&1 || true
drive wait-gone 30 >/dev/null || fail "the editor did not end"
echo "PASS"
