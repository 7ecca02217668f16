#!/usr/bin/env bash
# Starts the editor under Wine on a sound file (a demo sound made here when
# none is given). Without a display it runs on a private Xvfb screen, saves a
# screenshot of what a user would see and prints the screenshot's path.
# Usage: scripts/run-editor.sh [sound file]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
editor=$build/editor/razavo.exe
driver=$build/editor/razavo_driver.exe
fail() { echo "scripts/run-editor.sh: $*" >&2; exit 1; }
[ -x "$editor" ] && [ -x "$driver" ] || fail "build the editor first: scripts/build.sh"
"$root/scripts/wine-prefix.sh" "$build/wineprefix" || fail "the Wine prefix could not be made"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

sound=${1:-}
if [ -z "$sound" ]; then
  sound=$build/demo/demo.wav
  mkdir -p "$(dirname "$sound")"
  if [ ! -s "$sound" ]; then
    espeak-ng -w "$build/demo/voice.wav" \
      "This is the demo sound of the editor. Cut it, clean it up, and save it in any format." 2>/dev/null ||
      fail "espeak-ng could not make the demo sound"
    sox -V1 "$build/demo/voice.wav" -r 44100 -c 2 "$sound" remix 1 1v0.6 || fail "sox could not make the demo sound"
  fi
fi
[ -f "$sound" ] || fail "no such sound file: $sound"
sound=$(cd "$(dirname "$sound")" && pwd)/$(basename "$sound")
# Wine maps the Linux root to drive Z:. Working the path out here, rather than
# with winepath, starts no Wine server outside the screen the editor runs on:
# a server started without a display gives the editor's windows none.
windows_path="Z:${sound//\//\\}"

if [ -n "${DISPLAY:-}" ] && [ -z "${ZED_SCREENSHOT:-}" ]; then
  exec wine "$editor" "$windows_path"
fi

shot=$build/demo/editor-screenshot.png
log=$build/demo/editor.log
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
# A Wine server left over from an earlier run (tests, a reg command) has no
# display: let it end before the private screen starts.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# A private sound server with a silent output, so that the editor finds a
# sound device as it would on a user's machine.
. "$root/scripts/test-audio.sh"
inner=$(mktemp)
trap 'rm -f "$inner"; stop_private_pulse' EXIT
start_private_pulse "$build/demo/pulseaudio.log" || echo "(no sound device for the editor)" >&2
cat >"$inner" <<'INNER'
editor=$1 sound=$2 driver=$3 shot=$4 log=$5
wineserver -p 2>/dev/null || true
(wine "$editor" "$sound" </dev/null >"$log" 2>&1 &)
status=0
if ! wine "$driver" wait-frame 60 >/dev/null 2>&1; then
  echo "the editor's window did not appear within 60 s" >&2
  status=1
else
  # Time for the waveform and its overview to be drawn.
  sleep 3
  import -window root "$shot" || { echo "the screenshot could not be taken" >&2; status=1; }
  wine "$driver" close >/dev/null 2>&1 || true
  wine "$driver" wait-gone 30 >/dev/null 2>&1 || echo "the editor did not close within 30 s" >&2
fi
wineserver -k 2>/dev/null || true
exit $status
INNER
status=0
xvfb-run -a -s "-screen 0 1280x800x24" bash "$inner" "$editor" "$windows_path" "$driver" "$shot" "$log" || status=$?
if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
  [ -s "$log" ] && { echo "The editor's output:" >&2; tail -20 "$log" >&2; }
  fail "no screenshot of the editor was made"
fi
echo "The editor showing $(basename "$sound"): $shot"
