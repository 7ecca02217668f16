#!/usr/bin/env bash
# Builds what is out of date, then runs every test: the portable core under
# the sanitizers (with the fuzz corpora), natively, and the Windows build
# under Wine. Exits non-zero when anything fails.
# Usage: scripts/test.sh [preset...]   (default: native-asan native win64)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native-asan native win64)
jobs=${ZED_JOBS:-2}

mkdir -p "$root/build"
ZED_NO_EDITOR=1 "$root/scripts/build.sh" "${presets[@]}"

wine_env=(WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")
stop_wineserver() { env "${wine_env[@]}" wineserver -k 2>/dev/null || true; }

failed=()
for preset in "${presets[@]}"; do
  echo "== $preset: tests"
  start=$SECONDS
  status=0
  if [ "$preset" = win64 ]; then
    # A persistent server makes each Wine start cheap; stopped however we leave.
    trap stop_wineserver EXIT
    env "${wine_env[@]}" wineserver -p
    # Windows with windows need a display: a private virtual screen.
    xvfb-run -a -s "-screen 0 1280x800x24" \
      ctest --preset "$preset" -j"$jobs" --timeout 600 || status=$?
    stop_wineserver
    trap - EXIT
  else
    ctest --preset "$preset" -j"$jobs" --timeout 600 || status=$?
  fi
  echo "== $preset: tests took $((SECONDS - start)) s"
  [ "$status" -eq 0 ] || failed+=("$preset")
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Tests failed in: ${failed[*]}"
  exit 1
fi
echo "All tests passed in: ${presets[*]}"
