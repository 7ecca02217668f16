#!/usr/bin/env bash
# End-to-end test of Help Contents: the menu command and F1 write the manual
# to the user's data folder and ask the system to open it. The system's viewer
# of .html files is replaced, for this test only, by the driver, which notes
# the file it was asked to open. A manual that cannot be written or opened
# ends in a message, not in silence.
# Usage: help_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=help
source "$(dirname "$0")/e2e_common.sh"
# Wine looks file types up in the machine's classes only (not the user's):
# the test's viewer goes there, and the prefix's own viewer comes back after.
classes='HKCR'
viewer_class=ZedTestHelpViewer
page=$root/editor/help/razavo_help.html
written=$data_folder/razavo_help.html
noted=$work/viewer.txt
usual_viewer=$(wine reg query "$classes\\.html" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $NF}')
# A run that was killed may have left its own viewer behind.
[ "$usual_viewer" != "$viewer_class" ] || usual_viewer=htmlfile

use_viewer() {  # the command line that opens .html files
  wine reg add "$classes\\.html" /ve /d "$viewer_class" /f >/dev/null
  wine reg add "$classes\\$viewer_class\\shell\\open\\command" /ve /d "$1" /f >/dev/null
}
finish() {
  drive close >/dev/null 2>&1 || true
  drive wait-gone 20 >/dev/null 2>&1 || true
  wine reg delete "$classes\\$viewer_class" /f >/dev/null 2>&1 || true
  if [ -n "$usual_viewer" ]; then
    wine reg add "$classes\\.html" /ve /d "$usual_viewer" /f >/dev/null 2>&1 || true
  else
    wine reg delete "$classes\\.html" /f >/dev/null 2>&1 || true
  fi
}
trap finish EXIT
no_message() { ! drive dialog-wait Razavo 0 >/dev/null 2>&1 || fail "$1: $(drive dialog-get Razavo 65535)"; }
# Lines the stand-in viewer noted, once there are at least $1 of them.
wait_noted() {
  for _ in $(seq 100); do
    [ "$(cat "$noted" 2>/dev/null | wc -l)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

use_viewer "\"$(win "$driver")\" note-args \"$(win "$noted")\" \"%1\""
rm -f "$written"

echo "-- Help Contents writes the manual and opens it with the system's viewer"
start_editor
drive wait-frame 60 >/dev/null || fail "the editor did not start"
drive command 6000 >/dev/null
wait_noted 1 || fail "no viewer was started for the manual"
[ "$(sed -n 1p "$noted" | tr -d '\r')" = "$(win "$written")" ] ||
  fail "the viewer was asked for \"$(sed -n 1p "$noted")\", not $(win "$written")"
cmp -s "$written" "$page" || fail "the manual written differs from $page"
no_message "opening the manual showed a message"

echo "-- the manual covers the main commands"
for topic in "Open File" "Save File" "Select All" "Undo" "Redo" "Paste" "Effects" "Amplify" "Fade In" \
  "Play" "Stop" "Loop Play" "Options" "F1"; do
  grep -q "$topic" "$written" || fail "the manual does not mention \"$topic\""
done

echo "-- F1 opens it too; an outdated copy is replaced"
echo "an older manual" >"$written"
drive key 0x70 >/dev/null
wait_noted 2 || fail "F1 did not open the manual"
cmp -s "$written" "$page" || fail "the outdated manual was not replaced"
no_message "F1 showed a message"

echo "-- a manual that cannot be written is reported"
rm -f "$written"
mkdir "$written"   # a folder in the way of the file
drive post 6000 >/dev/null
drive answer Razavo 1 20 || fail "no message when the manual cannot be written"
[ "$(wc -l <"$noted")" -eq 2 ] || fail "a viewer was started without a manual"
rmdir "$written"

echo "-- a viewer that cannot be started is reported"
use_viewer "\"C:\\no such folder\\viewer.exe\" \"%1\""
drive post 6000 >/dev/null
drive answer Razavo 1 20 || fail "no message when the viewer cannot be started"

echo "help end-to-end: 1 passed, 0 failed"
