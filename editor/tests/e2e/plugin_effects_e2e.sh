#!/usr/bin/env bash
# End-to-end test of the plug-in effects: "VST Plugins..." with a folder of
# plug-ins of our own (a gain that halves, and a file that is no plug-in),
# its configuration dialog and the folder it remembers; "DirectX Effects..."
# with a media object of our own registered in the prefix for the test.
# Each result is saved and compared with sox's halving. Leaves screenshots.
# Usage: plugin_effects_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=plugin_effects
source "$(dirname "$0")/e2e_common.sh"
half_gain=$build/effects/zed_test_half_gain.dll
half_gain_dmo=$build/effects/zed_test_half_gain_dmo.dll
editor_gain=$build/effects/zed_test_gain_editor.dll
[ -f "$half_gain" ] && [ -f "$half_gain_dmo" ] && [ -f "$editor_gain" ] || fail "the test plug-ins are not built (target effects_tests)"

fail() {
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "FAIL: $*" >&2
  show_editor_log
  exit 1
}
shot() { sleep 0.5; import -window root "$work/$1.png" || true; }
stored() { wine reg query "$settings_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {print $3}'; }
# The largest difference between two sounds of one format, in 16-bit steps.
difference() {
  sox -V1 -m -v 1 "$1" -v -1 "$2" -n stat 2>&1 |
    awk '/^Maximum amplitude|^Minimum amplitude/ {v = $3 < 0 ? -$3 : $3; if (v > m) m = v}
         END {printf "%d\n", m * 32768 + 0.5}'
}
open_dialog() {
  drive post "$1" >/dev/null || fail "the editor is gone"
  drive dialog-wait "$2" 20 || fail "no dialog \"$2\""
}
close_dialog() { drive answer "$1" "$2" 20 >/dev/null; drive dialog-gone "$1" 60 || fail "\"$1\" stayed open"; }
# Picks the entry of a drop-down whose text is TEXT.
pick_named() {
  local title=$1 id=$2 text=$3
  for index in $(seq 0 40); do
    drive dialog-pick "$title" "$id" "$index" >/dev/null
    [ "$(drive dialog-get "$title" "$id")" = "$text" ] && return 0
  done
  fail "\"$title\" does not offer \"$text\""
}

plugins=$work/plugins
mkdir -p "$plugins"
cp "$half_gain" "$plugins/half.dll"
echo "not a plug-in" >"$plugins/broken.dll"
sox -V1 -n -r 22050 -c 2 -b 16 "$work/stereo.wav" synth 3 sine 440 sine 620 vol 0.5
sox -V1 -D "$work/stereo.wav" "$work/half-by-sox.wav" vol 0.5
wine regsvr32 /s "$(win "$half_gain_dmo")" || fail "the test media object did not register"
trap 'wine regsvr32 /s /u "$(win "$half_gain_dmo")" >/dev/null 2>&1 || true' EXIT

start_editor "$(win "$work/stereo.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"

echo "-- VST Plugins: the folder lists our plug-in by its name; Settings shows its parameter"
open_dialog 4020 "VST Plugin"
drive dialog-set "VST Plugin" 101 "$(win "$plugins")" >/dev/null
drive answer "VST Plugin" 104 20 >/dev/null   # Settings: takes the typed folder
drive dialog-wait "VST Configuration" 20 || fail "Settings opened no configuration"
[ "$(drive dialog-get "VST Plugin" 103)" = "Zed Test Gain" ] || fail "the plug-in shows as $(drive dialog-get "VST Plugin" 103)"
shot vst-configuration
close_dialog "VST Configuration" 1
shot vst-plugin
close_dialog "VST Plugin" 1
[ "$(stored VSTFolder)" = "$(win "$plugins")" ] || fail "VSTFolder holds $(stored VSTFolder)"
save_active_as "$work/vst.wav"
[ "$(difference "$work/vst.wav" "$work/half-by-sox.wav")" -le 1 ] || fail "the VST effect differs from sox's halving"

echo "-- the folder is remembered, and the effect is one undo step"
drive command 2001 >/dev/null   # Undo
save_active_as "$work/undone.wav"
[ "$(difference "$work/undone.wav" "$work/stereo.wav")" -eq 0 ] || fail "Undo did not give the sound back"
open_dialog 4020 "VST Plugin"
[ "$(drive dialog-get "VST Plugin" 101)" = "$(win "$plugins")" ] || fail "the folder was not remembered"
close_dialog "VST Plugin" 2

echo "-- a plug-in with an editor shows it in VST Configuration"
mkdir -p "$work/editor-plugins"
cp "$editor_gain" "$work/editor-plugins/gain.dll"
open_dialog 4020 "VST Plugin"
drive dialog-set "VST Plugin" 101 "$(win "$work/editor-plugins")" >/dev/null
drive answer "VST Plugin" 104 20 >/dev/null
drive dialog-wait "VST Configuration" 20 || fail "Settings opened no configuration"
[ "$(drive dialog-get "VST Configuration" 1000)" = "Zed Test Gain editor" ] || fail "the plug-in's editor is not in the dialog"
shot vst-editor
close_dialog "VST Configuration" 2
close_dialog "VST Plugin" 2
[ "$(stored VSTFolder)" = "$(win "$plugins")" ] || fail "a cancelled dialog stored its folder"

echo "-- DirectX Effects: our media object halves the sound"
open_dialog 4019 "DirectX Plugins"
pick_named "DirectX Plugins" 101 "Zed Test Half Gain (streams)"
shot directx-plugins
close_dialog "DirectX Plugins" 1
save_active_as "$work/directx.wav"
[ "$(difference "$work/directx.wav" "$work/half-by-sox.wav")" -le 1 ] || fail "the DirectX effect differs from sox's halving"

echo "-- the media object's property page: the quarter gain set there is what the effect applies"
drive command 2001 >/dev/null || fail "Undo did not run"
sox -V1 -D "$work/stereo.wav" "$work/quarter-by-sox.wav" vol 0.25
open_dialog 4019 "DirectX Plugins"
pick_named "DirectX Plugins" 101 "Zed Test Half Gain (streams)"
drive answer "DirectX Plugins" 102 20 >/dev/null || fail "no Settings button"
# The system's frame puts its own words around the caption "property Sheet".
frame="Properties for property Sheet"
drive dialog-wait "$frame" 20 || { shot no-property-frame; fail "Settings opened no property frame"; }
drive dialog-click "$frame" 1001 0.1 0.5 >/dev/null || fail "the page has no Quarter gain box"
shot directx-properties
drive answer "$frame" 1 20 >/dev/null || fail "the property frame has no OK"
drive dialog-gone "$frame" 60 || { shot property-frame-stayed; fail "the property frame stayed open"; }
drive answer "DirectX Plugins" 1 20 >/dev/null || fail "the DirectX Plugins dialog is gone"
drive dialog-gone "DirectX Plugins" 60 || fail "\"DirectX Plugins\" stayed open"
save_active_as "$work/quarter.wav"
[ "$(difference "$work/quarter.wav" "$work/quarter-by-sox.wav")" -le 1 ] ||
  fail "the effect did not apply the page's setting: $(difference "$work/quarter.wav" "$work/quarter-by-sox.wav") from sox's quarter"

echo "-- a sound the media object refuses: the failure message, and the sound stays as it was"
sox -V1 -n -r 22050 -c 4 -b 16 "$work/quad.wav" synth 1 sine 300 sine 400 sine 500 sine 600 vol 0.5
drive handover 33284 2 razavo.exe "$(win "$work/quad.wav")" >/dev/null
open_dialog 4019 "DirectX Plugins"
pick_named "DirectX Plugins" 101 "Zed Test Half Gain (streams)"
drive answer "DirectX Plugins" 1 20 >/dev/null
drive dialog-wait Error 30 || fail "no failure message"
[ "$(drive dialog-get Error 65535)" = "Applying DirectX effect FAILED." ] || fail "the failure said $(drive dialog-get Error 65535)"
shot directx-failed
drive answer Error 1 20 >/dev/null
drive dialog-gone Error 20 || fail "the message stayed"
save_active_as "$work/quad-after.wav"
[ "$(difference "$work/quad-after.wav" "$work/quad.wav")" -eq 0 ] || fail "the refused effect changed the sound"

drive close >/dev/null
drive answer Razavo 7 10 >/dev/null 2>&1 || true
drive wait-gone 30 >/dev/null || fail "the editor did not close"
echo "PASS"
