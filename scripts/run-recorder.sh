#!/usr/bin/env bash
# Starts the recorder under Wine. With a display it simply runs (arguments
# are handed to it, e.g. "-record wav"). Without one it runs on a private
# Xvfb screen with a private sound server whose microphone hears a tone,
# records for a few seconds, saves a screenshot of the window while it
# records, stops and prints the screenshot's path. Recordings go to the
# folder set in its options (by default Documents\Rezara of the Wine user).
# Usage: scripts/run-recorder.sh [recorder arguments]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
recorder=$build/recorder/rezara.exe
driver=$build/editor/razavo_driver.exe
fail() { echo "scripts/run-recorder.sh: $*" >&2; exit 1; }
[ -x "$recorder" ] && [ -x "$driver" ] || fail "build the recorder first: scripts/build.sh"
"$root/scripts/wine-prefix.sh" "$build/wineprefix" || fail "the Wine prefix could not be made"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && [ -z "${ZED_SCREENSHOT:-}" ]; then
  exec wine "$recorder" "$@"
fi

demo=$build/demo
shot=$demo/rezara-screenshot.png
log=$demo/rezara.log
mkdir -p "$demo"
rm -f "$shot"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
sox -V1 -n -r 44100 -c 2 -b 16 -e signed "$demo/rezara-tone.raw" synth 30 sine 440 vol 0.3

. "$root/scripts/test-audio.sh"
inner=$(mktemp)
trap 'rm -f "$inner"; stop_private_pulse' EXIT
start_private_pulse "$demo/pulseaudio.log" || fail "no sound server"
null_microphone mic || fail "no microphone"
cat >"$inner" <<'INNER'
recorder=$1 driver=$2 shot=$3 log=$4 tone=$5
. "$6/scripts/test-audio.sh"
microphone_sink=mic
wineserver -p 2>/dev/null || true
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
# The first-run set-up would cover the window: it has been seen.
wine reg add 'HKCU\Software\Zedirad\Rezara\Settings' /v InstallWizRun /d 1 /f >/dev/null 2>&1
feed_microphone "$tone"
(wine "$recorder" -record wav </dev/null >"$log" 2>&1 &)
status=0
if ! wine "$driver" dialog-wait "Rezara Sound Recorder" 60 >/dev/null 2>&1; then
  echo "the recorder's window did not appear within 60 s" >&2
  status=1
else
  sleep 4
  import -window root "$shot" || { echo "the screenshot could not be taken" >&2; status=1; }
  wine "$recorder" -done -exit >/dev/null 2>&1 || true
  wine "$driver" dialog-gone "Rezara Sound Recorder" 30 >/dev/null 2>&1 || echo "the recorder did not close" >&2
fi
stop_feeding
wineserver -k 2>/dev/null || true
exit $status
INNER
status=0
xvfb-run -a -s "-screen 0 1280x800x24" bash "$inner" "$recorder" "$driver" "$shot" "$log" "$demo/rezara-tone.raw" \
  "$root" || status=$?
if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
  [ -s "$log" ] && { echo "The recorder's output:" >&2; tail -20 "$log" >&2; }
  fail "no screenshot of the recorder was made"
fi
echo "The recorder while recording: $shot"
