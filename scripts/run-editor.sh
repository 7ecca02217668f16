#!/usr/bin/env bash
# Starts the editor under Wine on a sound file (a demo sound made here when
# none is given). Without a display it runs on a private Xvfb screen, saves a
# screenshot of what a user would see and prints the screenshot's path.
# Usage: scripts/run-editor.sh [sound file]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
editor=$build/editor/razavo.exe
[ -x "$editor" ] || { echo "build the editor first: scripts/build.sh" >&2; exit 1; }
"$root/scripts/wine-prefix.sh" "$build/wineprefix"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

sound=${1:-}
if [ -z "$sound" ]; then
  sound=$build/demo/demo.wav
  mkdir -p "$(dirname "$sound")"
  if [ ! -f "$sound" ]; then
    espeak-ng -w "$build/demo/voice.wav" \
      "This is the demo sound of the editor. Cut it, clean it up, and save it in any format." 2>/dev/null
    sox -V1 "$build/demo/voice.wav" -r 44100 -c 2 "$sound" remix 1 1v0.6
  fi
fi
sound=$(cd "$(dirname "$sound")" && pwd)/$(basename "$sound")
windows_path=$(winepath -w "$sound" 2>/dev/null)
# winepath started a Wine server with no display; a desktop started through
# it would have none either and the screen would stay black. Let it end.
timeout 20 wineserver -w 2>/dev/null || true

if [ -n "${DISPLAY:-}" ] && [ -z "${ZED_SCREENSHOT:-}" ]; then
  exec wine "$editor" "$windows_path"
fi

shot=$build/demo/editor-screenshot.png
mkdir -p "$(dirname "$shot")"
inner=$(mktemp)
cat >"$inner" <<'INNER'
editor=$1 sound=$2 driver=$3 shot=$4
wineserver -p 2>/dev/null || true
(wine "$editor" "$sound" </dev/null >/dev/null 2>&1 &)
status=1
if wine "$driver" wait-frame 60 >/dev/null; then
  sleep 3
  import -window root "$shot" && status=0
  wine "$driver" close >/dev/null
  wine "$driver" wait-gone 30 >/dev/null
fi
wineserver -k 2>/dev/null || true
exit $status
INNER
xvfb-run -a -s "-screen 0 1280x800x24" bash "$inner" "$editor" "$windows_path" "$build/editor/razavo_driver.exe" "$shot"
rm -f "$inner"
echo "The editor showing $(basename "$sound"): $shot"
