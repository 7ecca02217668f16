#!/usr/bin/env bash
# Builds the toolkit: installs what the machine lacks, prepares the Wine
# prefix of the Windows tests, then configures and builds each preset.
# Afterwards it starts the editor under Wine on a sound (a demo sound when
# none is named); without a display it saves a screenshot of the editor
# instead and prints its path (scripts/run-editor.sh).
# Usage: scripts/build.sh [preset...] [sound file]
#        (default presets: native native-asan win64; ZED_NO_EDITOR=1 only builds)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Every step that fails says which one it was; the exit status is non-zero.
step="starting"
trap 'status=$?; echo "scripts/build.sh: $step failed (exit status $status)" >&2; exit $status' ERR

presets=()
sound=""
for argument in "$@"; do
  case $argument in
    native | native-asan | win64) presets+=("$argument") ;;
    *) [ -f "$argument" ] || { echo "scripts/build.sh: no such sound file or preset: $argument" >&2; exit 2; }
       sound=$argument ;;
  esac
done
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64)
# The machines have two cores, shared.
jobs=${ZED_JOBS:-2}

step="installing the packages"
"$root/scripts/install-deps.sh"
mkdir -p "$root/build"

for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  start=$SECONDS
  if [ "$preset" = win64 ]; then
    # The codec components link the stack; it is cached by version.
    step="building the codec stack (logs: build/codecs/logs)"
    "$root/scripts/build-codecs.sh"
    step="making the Wine prefix"
    "$root/scripts/wine-prefix.sh" "$root/build/win64/wineprefix"
  fi
  # Configuring again is cheap and picks up changed presets.
  step="configuring $preset (log: build/configure-$preset.log)"
  cmake --preset "$preset" >"$root/build/configure-$preset.log" 2>&1 ||
    { tail -30 "$root/build/configure-$preset.log" >&2; false; }
  step="building $preset"
  ninja -C "$root/build/$preset" -j"$jobs"
  echo "== $preset: built in $((SECONDS - start)) s"
done

if [ -z "${ZED_NO_EDITOR:-}" ] && [[ " ${presets[*]} " == *" win64 "* ]]; then
  step="starting the editor"
  "$root/scripts/run-editor.sh" ${sound:+"$sound"}
fi
