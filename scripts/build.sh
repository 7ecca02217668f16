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

presets=()
sound=""
for argument in "$@"; do
  if [ -f "$argument" ]; then sound=$argument; else presets+=("$argument"); fi
done
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64)
# The machines have two cores, shared.
jobs=${ZED_JOBS:-2}

"$root/scripts/install-deps.sh"

for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  start=$SECONDS
  if [ "$preset" = win64 ]; then
    # The codec components link the stack; it is cached by version.
    "$root/scripts/build-codecs.sh"
    "$root/scripts/wine-prefix.sh" "$root/build/win64/wineprefix"
  fi
  # Configuring again is cheap and picks up changed presets.
  cmake --preset "$preset" >"$root/build/configure-$preset.log" 2>&1 ||
    { cat "$root/build/configure-$preset.log"; exit 1; }
  ninja -C "$root/build/$preset" -j"$jobs"
  echo "== $preset: built in $((SECONDS - start)) s"
done

if [ -z "${ZED_NO_EDITOR:-}" ] && [[ " ${presets[*]} " == *" win64 "* ]]; then
  "$root/scripts/run-editor.sh" ${sound:+"$sound"}
fi
