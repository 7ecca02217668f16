# Shared set-up of the editor's end-to-end tests; sourced by each *_e2e.sh
# with the win64 build folder as $1. Gives a fresh work folder, the Wine
# environment, helpers to start and drive the editor, and a clean slate of
# settings (nothing plays by itself, no rate prompt, maximized frame).
# With E2E_AUDIO=1 the editor has sound output: a private PulseAudio server
# with a null sink (scripts/test-audio.sh), in a Wine prefix for sound tests
# only, since the sound driver setting lives in the prefix; the server and
# the editor are stopped when the script exits.
set -Eeuo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
if [ "${E2E_AUDIO:-0}" = 1 ]; then
  export WINEPREFIX=$build/e2e-audio-prefix
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX" >/dev/null
fi
work=$build/e2e/${E2E_NAME:?set E2E_NAME before sourcing e2e_common.sh}
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
editor=$build/editor/razavo.exe
driver=$build/editor/razavo_driver.exe

# What the editor and Wine printed (a crash report, for one) is kept in
# editor.log and shown when a test fails.
show_editor_log() {
  if [ -s "$work/editor.log" ]; then
    echo "-- the editor's output (last lines):" >&2
    tail -n 30 "$work/editor.log" | tr -d '\r' >&2
  fi
}
# Ends a running editor: asked to close, told No if it asks whether to save,
# and ended by force if it still stays. Returns non-zero when one remains.
stop_editor() {
  drive wait-gone 0 >/dev/null 2>&1 && return 0
  drive close >/dev/null 2>&1 || true
  drive answer Razavo 7 3 >/dev/null 2>&1 || true
  drive wait-gone 20 >/dev/null 2>&1 || wine taskkill /f /im razavo.exe >/dev/null 2>&1 || true
  drive wait-gone 10 >/dev/null 2>&1
}
# A failed test leaves no editor behind for the next one.
fail() { echo "FAIL: $*" >&2; show_editor_log; stop_editor || true; exit 1; }
# A command that fails outside a check ends the test too: say where.
trap 'echo "FAIL: a command failed at line $LINENO" >&2; show_editor_log' ERR
win() { winepath -w "$1" 2>/dev/null; }
drive() { wine "$driver" "$@" | tr -d '\r'; }
start_editor() { (cd "$work" && wine "$editor" "$@" >>"$work/editor.log" 2>&1 &) ; }
# Saves the active document to FILE through a hand-over record, as a second
# start with "-saveas FILE" would.
save_active_as() { drive handover 33284 3 razavo.exe -saveas "$(win "$1")" >/dev/null; }
settings_key='HKCU\Software\Zedirad\Razavo\Settings'

# A clean slate: no editor left running, known settings.
stop_editor || fail "an editor left by an earlier test is still running"
wine reg delete 'HKCU\Software\Zedirad\Razavo' /f >/dev/null 2>&1 || true
wine reg add "$settings_key" /v PromptSampleAndChannels /d 0 /f >/dev/null
# No sound device unless a test sets one up: nothing plays by itself.
wine reg add "$settings_key" /v AutoPlaybackAfterEffects /d 0 /f >/dev/null
wine reg add "$settings_key" /v PlayWhenOpen /d 0 /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Razavo\MainWindow' /v Maximized /d 1 /f >/dev/null
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
data_folder=$(winepath -u "$appdata\\Zedirad\\Razavo")
mkdir -p "$data_folder"
rm -f "$data_folder/keys.dat" "$data_folder/envelope.dat"

if [ "${E2E_AUDIO:-0}" = 1 ]; then
  source "$root/scripts/test-audio.sh"
  stop_audio_test() {
    drive close >/dev/null 2>&1 || true
    drive wait-gone 10 >/dev/null 2>&1 || true
    wineserver -k 2>/dev/null || true
    stop_private_pulse
  }
  trap stop_audio_test EXIT
  wineserver -p 2>/dev/null || true
  start_private_pulse "$work/pulseaudio.log" || fail "no sound server"
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
fi
