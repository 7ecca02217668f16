#!/usr/bin/env bash
# Builds the toolkit: installs what the machine lacks, prepares the Wine
# prefix of the Windows tests, then configures and builds each preset.
# Usage: scripts/build.sh [preset...]   (default: native native-asan win64)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan win64)
# The machines have two cores, shared.
jobs=${ZED_JOBS:-2}

"$root/scripts/install-deps.sh"

for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  start=$SECONDS
  if [ "$preset" = win64 ]; then
    "$root/scripts/wine-prefix.sh" "$root/build/win64/wineprefix"
  fi
  # Configuring again is cheap and picks up changed presets.
  cmake --preset "$preset" >"$root/build/configure-$preset.log" 2>&1 ||
    { cat "$root/build/configure-$preset.log"; exit 1; }
  ninja -C "$root/build/$preset" -j"$jobs"
  echo "== $preset: built in $((SECONDS - start)) s"
done
