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

export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wineserver() { wineserver -k 2>/dev/null || true; }

# The Windows tests run on a private virtual screen (programs with windows
# need one) with a persistent Wine server, which makes each Wine start cheap.
# The first Wine program starts Wine's own services, and they keep the
# standard output and error they were given: they get none of CTest's, or
# CTest would wait for them to close.
# Now and then Wine fails to start a test program at all (no output, a few
# milliseconds): the tests that failed run once more, alone, and only a
# second failure counts. Their names are printed either way.
win64_tests() {
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    wineserver -p
    wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
    status=0
    ctest --preset win64 -j"$1" --timeout 600 || status=$?
    if [ "$status" -ne 0 ] && [ -s build/win64/Testing/Temporary/LastTestsFailed.log ]; then
      echo "== win64: these failed and run once more, alone:"
      sed "s/^[0-9]*:/  /" build/win64/Testing/Temporary/LastTestsFailed.log
      status=0
      ctest --preset win64 --rerun-failed --output-on-failure --timeout 600 || status=$?
    fi
    wineserver -k 2>/dev/null || true
    exit $status' win64-tests "$jobs"
}

failed=()
for preset in "${presets[@]}"; do
  echo "== $preset: tests"
  start=$SECONDS
  status=0
  if [ "$preset" = win64 ]; then
    trap stop_wineserver EXIT
    win64_tests || status=$?
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
