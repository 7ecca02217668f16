#!/usr/bin/env bash
# End-to-end test of passing recordings on, under Wine with a real input
# device (the set-up of rezara_e2e.sh) and real servers on 127.0.0.1: an SMTP
# server (Debian's aiosmtpd, mail/tests/smtp_test_server.py) and an FTP server
# (Debian's pyftpdlib).
#   - a recording stopped and marked done reaches the mirror folder, the SMTP
#     server (the message parsed with Python's email package, the attachment
#     equal to the recording), the FTP server and the external program; the
#     FTP password is an old clear value, which is still read
#   - killing the recorder while it waits on a hung FTP server keeps the
#     recording in the send list; the next start sends it and empties the list
#   - the recordings list opens at the stop, lists the recordings of the
#     output folder, plays one, and backs up the selected ones as GSM, as WAV
#     with GSM 6.10 inside and as MP3 at 8 kbps; a backup that would replace a
#     selected recording skips it and ends "Backup was unsuccessful"
#   - Edit, Convert and Copy To CD start the editor, the converter and the
#     burner (a stand-in that notes what it got) through their templates;
#     without the burner its download is offered; a backup to CD hands the
#     burner its list of backups, which go once the burner has ended
#   - a failing method (a missing mirror folder) is reported by the window
#     and the upload still follows
# Usage: rezara_transmit_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=rezara_transmit E2E_AUDIO=1
source "$(dirname "$0")/recorder_e2e_common.sh"
root_key='HKCU\Software\Zedirad\Rezara'
out=$work/out mirror=$work/mirror ftp_home=$work/ftp smtp_state=$work/smtp
mkdir -p "$out" "$mirror" "$ftp_home/inbox" "$smtp_state"
value() { wine reg add "$root_key\\$1" /v "$2" /d "$3" /f >/dev/null; }
wait_file() {
  for _ in $(seq $((${2:-30} * 5))); do
    [ -s "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
ftp_pid= smtp_pid=
finish() {
  running && { rez -exit || true; }
  [ -z "${saved_templates:-}" ] || restore_templates
  [ -n "$ftp_pid" ] && { kill -CONT "$ftp_pid" 2>/dev/null; kill "$ftp_pid" 2>/dev/null; }
  [ -s "$smtp_state/pid" ] && kill "$(cat "$smtp_state/pid")" 2>/dev/null
  stop_audio_test
}
trap finish EXIT

# The servers: Debian's Python, the one the server packages belong to.
/usr/bin/python3 "$root/mail/tests/smtp_test_server.py" --detach --state "$smtp_state" --mode smtp ||
  fail "the SMTP server did not start"
wait_file "$smtp_state/port" 10 || fail "the SMTP server did not start"
/usr/bin/python3 - "$ftp_home" "$work/ftp-port" >"$work/ftp.log" 2>&1 <<'PY' &
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
authorizer = DummyAuthorizer()
authorizer.add_user("rec", "s3cret pass", sys.argv[1], perm="elradfmw")
FTPHandler.authorizer = authorizer
FTPHandler.timeout = 600
server = FTPServer(("127.0.0.1", 0), FTPHandler)
with open(sys.argv[2], "w") as f:
    f.write(str(server.address[1]))
server.serve_forever()
PY
ftp_pid=$!
wait_file "$work/ftp-port" 10 || fail "the FTP server did not start: $(cat "$work/ftp.log")"

wine reg delete "$root_key" /f >/dev/null 2>&1 || true
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
list=$(winepath -u "$appdata\\Zedirad\\Rezara")/bgsend.lst
rm -f "$list"
value Settings OutputFolder "$(win "$out")"
value Settings FileNameFormat "Take %autonumber%"
value Settings InstallWizRun 1
value Settings StoppedTone 0
value Settings SendFolder 1
value Settings SendFolderDir "$(win "$mirror")"
value Settings SendEmail 1
value Email To "listener@example.test"
value Email ReplyToEmail "rezara@example.test"
value Email UseMAPI 0
value Email UseSMTPHost 1
value Email MailSMTPHost "127.0.0.1:$(cat "$smtp_state/port")"
value Email SMTPAuthOn 0
value Settings SendFtp 1
value Ftp Server "127.0.0.1:$(cat "$work/ftp-port")"
value Ftp UserName rec
value Ftp Password "s3cret pass"
value Ftp Directory inbox
value Settings SendRun 1
value Settings SendRunExe "cmd /c echo %s>> $(win "$work/program-ran.txt")"
null_microphone mic || fail "no microphone"
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$work/tone.raw" synth 60 sine 440 vol 0.4
feed_microphone "$work/tone.raw"
sleep 0.5

record_take() {
  rez -record wav -s 44100 -m 2 -b 16
  wait_state "Recording..." 20 || fail "the recorder does not record: $(state)"
  sleep 2
  rez -done
  wait_state Ready 10 || fail "-done did not stop the recording: $(state)"
}

echo "-- a recording marked done reaches the folder, the SMTP server, the FTP server and the program"
start_recorder
running 60 || fail "the recorder's window did not appear"
record_take
take=$out/"Take 1.wav"
[ -s "$take" ] || fail "no recording: $(ls "$out")"
# "Launch Play List when stop recording" is on by default.
drive dialog-wait "Rezara Recording List" 15 >/dev/null || fail "the recordings list did not open at the stop"
wait_file "$mirror/Take 1.wav" 30 || fail "the recording was not copied into the folder"
cmp "$take" "$mirror/Take 1.wav" || fail "the folder copy differs"
wait_file "$smtp_state/message-1.eml" 60 || fail "no message reached the SMTP server: $(tail -5 "$work/recorder.log")"
problems=$(/usr/bin/python3 "$root/mail/tests/check_message.py" "$smtp_state/message-1.eml" \
  --subject "Rezara Sound Recorder - Emailed Recording Take 1.wav" --to listener@example.test \
  --attach "$take" --type audio/wav 2>&1) || fail "the message could not be checked: $problems"
[ -z "$problems" ] || fail "the message is not as sent: $problems"
wait_file "$ftp_home/inbox/Take 1.wav" 60 || fail "the recording was not uploaded into inbox"
for _ in $(seq 50); do cmp -s "$take" "$ftp_home/inbox/Take 1.wav" && break; sleep 0.2; done
cmp "$take" "$ftp_home/inbox/Take 1.wav" || fail "the uploaded file differs"
wait_file "$work/program-ran.txt" 30 || fail "the program did not run"
grep -q 'Take 1.wav' "$work/program-ran.txt" || fail "the program did not get the recording"
for _ in $(seq 50); do [ ! -e "$list" ] && break; sleep 0.2; done
[ ! -e "$list" ] || fail "the send list was left behind after the recording went out"

echo "-- killed during a hung upload, the recorder keeps the recording listed and sends it at the next start"
kill -STOP "$ftp_pid"
record_take
wait_file "$smtp_state/message-2.eml" 60 || fail "the second recording was not e-mailed"
sleep 1
[ -s "$list" ] || fail "no send list while the upload hangs"
grep -qa 'Take 2.wav' "$list" || fail "the send list does not hold the recording being sent"
wine taskkill /f /im rezara.exe >/dev/null 2>&1 || true
drive dialog-gone "$title" 15 >/dev/null || fail "the recorder was not killed"
grep -qa 'Take 2.wav' "$list" || fail "the kill lost the pending recording"
kill -CONT "$ftp_pid"
start_recorder
running 60 || fail "the recorder did not start again"
wait_file "$ftp_home/inbox/Take 2.wav" 60 || fail "the kept recording was not uploaded at the next start"
for _ in $(seq 50); do cmp -s "$out/Take 2.wav" "$ftp_home/inbox/Take 2.wav" && break; sleep 0.2; done
cmp "$out/Take 2.wav" "$ftp_home/inbox/Take 2.wav" || fail "the upload after the restart differs"
for _ in $(seq 100); do [ ! -e "$list" ] && break; sleep 0.2; done
[ ! -e "$list" ] || fail "the send list was left behind after the restart"

echo "-- the recordings list shows the recordings of the output folder"
sox -V1 -n -r 22050 -c 1 -b 16 "$out/From sox.aif" synth 1 sine 300
: >"$out/notes.txt"
drive dialog-post "$title" 0x111 40019 >/dev/null  # View > Play List
drive dialog-wait "Rezara Recording List" 15 >/dev/null || fail "the recordings list did not open"
sleep 1
import -window root "$work/recordings-list.png" || true
[ "$(drive dialog-list-select "Rezara Recording List" 300)" = 3 ] || fail "the list does not hold the 3 recordings"

echo "-- Play plays the selected recording through the play control"
drive dialog-list-select "Rezara Recording List" 300 1 >/dev/null
drive dialog-post "Rezara Recording List" 0x111 41001 >/dev/null  # Play
played=
for _ in $(seq 25); do
  played=$(drive dialog-get "Rezara Recording List" 203 2>/dev/null || true)
  [ -n "$played" ] && [ "$played" != "0:00.0" ] && break
  sleep 0.2
done
[ -n "$played" ] && [ "$played" != "0:00.0" ] || fail "the play control shows no time played: \"$played\""
echo "played to $played"

echo "-- backup of two recordings into a folder as GSM, then as WAV with GSM inside"
backup() {  # format index, folder (Wine path), expected result title
  drive dialog-post "Rezara Recording List" 0x111 41012 >/dev/null  # Backup
  drive dialog-wait Backup 15 >/dev/null || fail "the Backup dialog did not open"
  drive dialog-click Backup 102 0.05 0.5 >/dev/null  # A Shared Network or Local Folder
  drive dialog-set Backup 103 "$2" >/dev/null
  drive dialog-pick Backup 105 "$1" >/dev/null
  drive dialog-post Backup 0x111 1 >/dev/null  # OK
  if [ "$3" = "Backup Incomplete" ]; then
    # The note about the skipped recordings comes first.
    for _ in $(seq 50); do drive dialog-controls Backup 2>/dev/null | grep -q "skipped" && break; sleep 0.2; done
    drive dialog-controls Backup | grep -q "skipped" || fail "no note about the skipped recording"
    drive dialog-post Backup 0x111 1 >/dev/null
  fi
  drive dialog-wait "$3" 60 >/dev/null || fail "the backup did not end with \"$3\""
  drive dialog-post "$3" 0x111 1 >/dev/null
  drive dialog-gone "$3" 10 >/dev/null || fail "the message \"$3\" stayed"
}
mkdir -p "$work/backup"
drive dialog-list-select "Rezara Recording List" 300 1 2 >/dev/null
backup 0 "$(win "$work/backup")" "Backup Complete"
for take in "Take 1" "Take 2"; do
  [ -s "$work/backup/$take.gsm" ] || fail "no GSM backup of $take: $(ls "$work/backup")"
  soxi "$work/backup/$take.gsm" | grep -q "Sample Rate *: 8000" || fail "$take.gsm is not 8000 Hz GSM"
  # 33-byte frames of 20 ms each, as long as the recording.
  holds "$(stat -c %s "$work/backup/$take.gsm") / 33 * 0.02 > $(soxi -D "$out/$take.wav") - 0.05" ||
    fail "$take.gsm is shorter than the recording"
done
backup 3 "$(win "$work/backup")" "Backup Complete"
soxi "$work/backup/Take 1.wav" | grep -q "GSM" || fail "Take 1.wav of the backup does not hold GSM 6.10"
echo "-- backup as MP3 at 8 kbps through the encoder component"
wine reg add 'HKCU\Software\Zedirad\Components\mp3el' /v Path /d "$(win "$build/component-programs/mp3enc.exe")" \
  /f >/dev/null
backup 1 "$(win "$work/backup")" "Backup Complete"
[ -s "$work/backup/Take 2.mp3" ] || fail "no MP3 backup"
mpg123 -t "$work/backup/Take 2.mp3" 2>&1 | grep -q "cbr8 8000 mono" || fail "the MP3 backup is not at 8 kbps: $(mpg123 -t "$work/backup/Take 2.mp3" 2>&1 | tail -3)"
echo "-- a backup that would replace a selected recording skips it and says so"
backup 3 "$(win "$out")" "Backup Incomplete"
cmp -s "$out/Take 1.wav" "$mirror/Take 1.wav" || fail "the backup overwrote a selected recording"

echo "-- Edit ID3 Tags writes the tags into the first selected recording"
drive dialog-post "Rezara Recording List" 0x111 41013 >/dev/null
drive dialog-wait "Edit Audio Tags" 15 >/dev/null || fail "the tag dialog did not open"
drive dialog-set "Edit Audio Tags" 101 "Morning call" >/dev/null
drive dialog-post "Edit Audio Tags" 0x111 1 >/dev/null
drive dialog-gone "Edit Audio Tags" 10 >/dev/null || fail "the tag dialog stayed"
for _ in $(seq 25); do grep -qa "Morning call" "$out/Take 1.wav" && break; sleep 0.2; done
grep -qa "Morning call" "$out/Take 1.wav" || fail "the title was not written into Take 1.wav"
soxi "$out/Take 1.wav" >/dev/null || fail "Take 1.wav is no longer a sound file after its tags were written"

echo "-- Rename refuses an empty name and renames; Delete asks and deletes"
drive dialog-list-select "Rezara Recording List" 300 0 >/dev/null  # From sox.aif comes first
drive dialog-post "Rezara Recording List" 0x111 41003 >/dev/null
drive dialog-wait Rename 15 >/dev/null || fail "the Rename dialog did not open"
drive dialog-set Rename 100 "" >/dev/null
drive dialog-post Rename 0x111 1 >/dev/null
drive dialog-wait "Name Invalid" 10 >/dev/null || fail "an empty name was not refused"
drive dialog-post "Name Invalid" 0x111 1 >/dev/null
drive dialog-wait Rename 10 >/dev/null || fail "the Rename dialog did not come back"
drive dialog-set Rename 100 "Renamed clip" >/dev/null
drive dialog-post Rename 0x111 1 >/dev/null
for _ in $(seq 25); do [ -s "$out/Renamed clip.aif" ] && break; sleep 0.2; done
[ -s "$out/Renamed clip.aif" ] && [ ! -e "$out/From sox.aif" ] || fail "the recording was not renamed: $(ls "$out")"
drive dialog-post "Rezara Recording List" 0x111 41004 >/dev/null  # Delete: the renamed one is selected
drive dialog-wait "Confirm delete" 10 >/dev/null || fail "Delete did not ask"
drive dialog-post "Confirm delete" 0x111 6 >/dev/null  # Yes
for _ in $(seq 25); do [ ! -e "$out/Renamed clip.aif" ] && break; sleep 0.2; done
[ ! -e "$out/Renamed clip.aif" ] || fail "the recording was not deleted"
[ -s "$out/Take 1.wav" ] && [ -s "$out/Take 2.wav" ] || fail "Delete took more than the selected recording"
[ "$(drive dialog-list-select "Rezara Recording List" 300)" = 2 ] || fail "the list was not refilled after the delete"
sleep 0.5
import -window root "$work/recordings-list.png" || true

echo "-- Edit, Convert and Copy To CD start their programs through their templates"
check=$build/shell/shell_check.exe
noted=$work/noted.txt
noted_lines() { cat "$noted" 2>/dev/null | tr -d '\r'; }
wait_noted() {  # until the stand-in noted at least $1 lines
  for _ in $(seq 100); do [ "$(noted_lines | wc -l)" -ge "$1" ] && return 0; sleep 0.1; done
  return 1
}
# Templates are read from the machine's settings first: the stand-ins go
# there, and what was there before comes back afterwards.
saved_templates=$work/templates.reg
wine reg export 'HKLM\Software\Zedirad' "$saved_templates" /y >/dev/null 2>&1 || : >"$saved_templates"
restore_templates() {
  wine reg delete 'HKLM\Software\Zedirad' /f >/dev/null 2>&1 || true
  [ ! -s "$saved_templates" ] || wine reg import "$saved_templates" >/dev/null 2>&1 || true
}
stand_in() {  # PROGRAM_KEY VALUE: the stand-in notes its arguments
  wine reg add "HKLM\\Software\\Zedirad\\$1\\Settings" /v "$2" /d "\"$(win "$check")\" note \"$(win "$noted")\" %s" \
    /f >/dev/null
}
stand_in Razavo RunEdit
stand_in Dedarur RunConvert
stand_in VuzivoApp CopyCD
drive dialog-list-select "Rezara Recording List" 300 0 >/dev/null  # Take 1.wav
rm -f "$noted"
drive dialog-post "Rezara Recording List" 0x111 41002 >/dev/null  # Edit
wait_noted 1 || fail "Edit did not start the editor"
[ "$(noted_lines)" = "$(win "$out/Take 1.wav")" ] || fail "the editor got $(noted_lines)"
rm -f "$noted"
drive dialog-list-select "Rezara Recording List" 300 0 1 >/dev/null
drive dialog-post "Rezara Recording List" 0x111 41006 >/dev/null  # Convert, one start a recording
wait_noted 2 || fail "Convert did not start the converter for both recordings: $(noted_lines)"
[ "$(noted_lines)" = "$(printf '%s\n' "$(win "$out/Take 1.wav")" "$(win "$out/Take 2.wav")")" ] ||
  fail "the converter got $(noted_lines)"
rm -f "$noted"
drive dialog-post "Rezara Recording List" 0x111 41007 >/dev/null  # Copy To CD, Audio CD
wait_noted 6 || fail "Copy To CD did not start the burner: $(noted_lines)"
temp=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
expected=$(printf '%s\n' -type audio -list "$temp\\txburn.txt" "list:$(win "$out/Take 1.wav")" "list:$(win "$out/Take 2.wav")")
[ "$(noted_lines)" = "$expected" ] || fail "the burner got
$(noted_lines)
instead of
$expected"
for _ in $(seq 25); do [ ! -e "$(winepath -u "$temp\\txburn.txt")" ] && break; sleep 0.2; done
[ ! -e "$(winepath -u "$temp\\txburn.txt")" ] || fail "the burn list was left behind"
# Backup to a CD: the backups are made in a folder of their own, handed to
# the burner in a list, and removed once the burner has ended.
rm -f "$noted"
drive dialog-post "Rezara Recording List" 0x111 41012 >/dev/null  # Backup
drive dialog-wait Backup 15 >/dev/null || fail "the Backup dialog did not open"
drive dialog-click Backup 101 0.05 0.5 >/dev/null  # CD
drive dialog-pick Backup 105 0 >/dev/null  # GSM
drive dialog-post Backup 0x111 1 >/dev/null
drive dialog-wait "Backup Complete" 60 >/dev/null || fail "the backup to CD did not end with Backup Complete"
drive dialog-post "Backup Complete" 0x111 1 >/dev/null
wait_noted 12 || fail "the burner did not get the backups: $(noted_lines)"
# The arguments, with the list's lines noted after its path.
[ "$(noted_lines | sed -n '1,7p;11,12p' | tr '\n' ' ')" = "-clear -show -type data -label RECORDINGBACKUP -list -burn -exit " ] ||
  fail "the burner got $(noted_lines | tr '\n' ' ')"
[ "$(noted_lines | sed -n '9,10p' | sed 's/.*\\//')" = "$(printf '%s\n' "Take 1.gsm" "Take 2.gsm")" ] ||
  fail "the burner's list holds $(noted_lines | sed -n '9,10p')"
cd_folder=$(winepath -u "$(noted_lines | sed -n 8p | sed 's/\\[^\\]*$//')")
[ -n "$cd_folder" ] && [ ! -e "$cd_folder" ] || fail "the backups for the CD were left in $cd_folder"
# Without the burner: its download is offered, No leaves everything as it was.
wine reg delete 'HKLM\Software\Zedirad\VuzivoApp' /f >/dev/null
rm -f "$noted"
drive dialog-post "Rezara Recording List" 0x111 41008 >/dev/null  # Copy To CD, Data CD
drive dialog-wait "Download Required" 15 >/dev/null || fail "no question about the missing burner"
drive dialog-controls "Download Required" | grep -q "Vuzivo" || fail "the question does not name the burner"
drive dialog-post "Download Required" 0x111 7 >/dev/null  # No
drive dialog-gone "Download Required" 10 >/dev/null || fail "the question stayed"
[ ! -e "$noted" ] || fail "something was started without the burner"
restore_templates

echo "-- a failing method is reported in the window and the next one still runs"
value Settings SendFolderDir "$(win "$work/no such folder")"
record_take
drive dialog-wait Transmit 60 >/dev/null || fail "the failed folder copy was not reported"
drive dialog-controls Transmit | grep -q 'Cannot copy the file "Take 3.wav" to the backup folder.' ||
  fail "the report is not the folder copy's message: $(drive dialog-controls Transmit)"
drive dialog-post Transmit 0x111 1 >/dev/null
wait_file "$ftp_home/inbox/Take 3.wav" 60 || fail "the upload did not run after the failed folder copy"
rez -exit
drive dialog-gone "$title" 15 >/dev/null || fail "-exit did not end the program"
[ "$(wine reg query "$root_key\\Settings" /v ShowRecordingsList | tr -d '\r' | awk '$1 == "ShowRecordingsList" { print $3 }')" = 1 ] ||
  fail "the open list was not noted in ShowRecordingsList"
wine reg query "$root_key\\PlayListDialog" /v Width >/dev/null 2>&1 || fail "the list's size was not kept"
mkdir -p "$build/demo" && cp "$work/recordings-list.png" "$build/demo/rezara-recordings-list.png" 2>/dev/null || true
echo "rezara transmit end-to-end: 1 passed, 0 failed"
