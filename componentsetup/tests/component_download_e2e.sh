#!/usr/bin/env bash
# Download on demand end to end, in a Wine prefix of its own: the component
# installers built for the tests are served over HTTPS from two local ports
# with a certificate authority made here and trusted only by that prefix;
# download_driver runs the download, the installer and the registration
# check exactly as the programs do, and the script checks what it left.
# Usage: component_download_e2e.sh <build folder> <download_driver.exe> <test installers> <shipped installers>
set -euo pipefail

build=$1
driver=$2
served=$3
shipped=$4
root=$(cd "$(dirname "$0")/../.." && pwd)

# Windows need a display; run under a private one when there is none.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$@"
fi

work=$build/test-tmp/component_download_e2e
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$build/component-download-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
expect_eq() {  # what, actual, expected
  if [ "$2" != "$3" ]; then fail "$1: got '$2', expected '$3'"; else echo "ok: $1"; fi
}

server_pid=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# A fresh prefix: no component registered, no root of ours trusted.
rm -rf "$WINEPREFIX"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" >/dev/null
wineserver -p
wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true

# The test decoder and the real installers of mp3el and flacdec, served by a
# server whose certificate authority is made here.
cd "$work"
mkdir -p files
cp "$served/testdec.exe" "$shipped/mp3el.exe" "$shipped/flacdec.exe" files/
modes=$work/modes
source "$root/componentsetup/tests/component_server_setup.sh"
start_component_server files "$modes"
set_modes() { printf '%s %s\n%s %s\n' "$port1" "$1" "$port2" "$2" >"$modes"; }

program_files=$(winepath -u 'C:\Program Files' 2>/dev/null)
temp_folder=$(winepath -u "$(wine "$driver" temp | tr -d '\r')" 2>/dev/null)
# The checks below look into these folders: they must be real.
[ -d "$program_files" ] && [ -d "$temp_folder" ] ||
  { echo "the prefix's folders were not found: '$program_files' '$temp_folder'" >&2; exit 1; }

# Runs the download of component $1 and sets result, path and quiet.
install() {
  local output
  output=$(wine "$driver" install "$1" "localhost:$port1" "localhost:$port2" </dev/null | tr -d '\r')
  result=$(sed -n 's/^result=//p' <<<"$output")
  path=$(sed -n 's/^path=//p' <<<"$output")
  quiet=$(sed -n 's/^lquiet=//p' <<<"$output")
}
forget() {
  wine reg delete "HKLM\\Software\\Zedirad\\Components\\$1" /f >/dev/null 2>&1 || true
  wine reg delete "HKCU\\Software\\Zedirad\\Components\\$1" /f >/dev/null 2>&1 || true
  rm -rf "$program_files/Zedirad/Components/$1"
}
requests() { grep -c "^$1 .*GET /components/$2.exe" server.log || true; }
leftovers() { find "$temp_folder" -maxdepth 1 \( -name 'zedcomp-*' -o -name '*.exe' \) | wc -l; }

testdec_path='C:\Program Files\Zedirad\Components\testdec\component_test_payload.exe'

echo "== a server whose certificate authority the prefix does not trust is refused"
install testdec
expect_eq "result" "$result" 2
expect_eq "registration" "$path" ""
expect_eq "nothing installed" "$(ls "$program_files/Zedirad/Components/testdec" 2>/dev/null | wc -l)" 0
expect_eq "no request got past the handshake" "$(requests "$port1" testdec)" 0

wine "$driver" trust "Z:$work/ca.der" </dev/null >/dev/null || fail "the test authority could not be added"

echo "== a download installs and registers the component, quietly"
install testdec
expect_eq "result" "$result" 0
expect_eq "registration" "$path" "$testdec_path"
expect_eq "LQUIET unset again" "$quiet" "<unset>"
cmp -s "$program_files/Zedirad/Components/testdec/component_test_payload.exe" \
  "$(dirname "$served")/payload/component_test_payload.exe" || fail "the installed program differs from the payload"
expect_eq "no download left in the temporary folder" "$(leftovers)" 0
forget testdec

echo "== mp3el through its installer"
install mp3el
expect_eq "result" "$result" 0
expect_eq "registration" "$path" 'C:\Program Files\Zedirad\Components\mp3el\mp3enc.exe'
cmp -s "$program_files/Zedirad/Components/mp3el/mp3enc.exe" "$build/component-programs/mp3enc.exe" ||
  fail "the installed mp3enc.exe is not the LAME front end of the build"
forget mp3el

echo "== flacdec: downloaded, installed, and decoding what Debian's flac made"
install flacdec
expect_eq "result" "$result" 0
expect_eq "registration" "$path" 'C:\Program Files\Zedirad\Components\flacdec\flacdec.exe'
sox -n -r 44100 -c 2 -b 16 tone.wav synth 1.5 sine 440 sine 660 gain -3
flac -s -f -o tone.flac tone.wav
flac -s -d -f -o reference.wav tone.flac
# The decoder's command line as the import gives it: path, output, input.
wine "$path" -d -f -o "Z:$work/decoded.wav" "Z:$work/tone.flac" </dev/null >/dev/null 2>&1 ||
  fail "flacdec did not decode"
sox reference.wav -t raw reference.raw
sox decoded.wav -t raw decoded.raw 2>/dev/null || fail "flacdec wrote no WAVE file"
cmp -s reference.raw decoded.raw || fail "flacdec's samples differ from flac -d"
expect_eq "decoded bytes" "$(stat -c %s decoded.raw 2>/dev/null || echo 0)" "$(stat -c %s reference.raw)"
forget flacdec

echo "== a 404 from the first host falls back to the second"
set_modes missing good
before2=$(requests "$port2" testdec)
install testdec
expect_eq "result" "$result" 0
expect_eq "registration" "$path" "$testdec_path"
expect_eq "second host asked" "$(( $(requests "$port2" testdec) - before2 ))" 1
forget testdec

echo "== a server that sends no length still downloads"
set_modes nolength missing
install testdec
expect_eq "result" "$result" 0
expect_eq "registration" "$path" "$testdec_path"
forget testdec

echo "== a reply shorter than its announced length is refused"
set_modes short missing
install testdec
expect_eq "result" "$result" 2
expect_eq "registration" "$path" ""
expect_eq "no download left in the temporary folder" "$(leftovers)" 0

echo "== a tampered installer (one byte changed) is refused and nothing runs"
set_modes tampered tampered
install testdec
expect_eq "result" "$result" 2
expect_eq "registration" "$path" ""
expect_eq "no install folder" "$([ -e "$program_files/Zedirad/Components/testdec" ] && echo made || echo none)" none
expect_eq "no download left in the temporary folder" "$(leftovers)" 0

echo "== an earlier LQUIET keeps its value"
set_modes good good
output=$(LQUIET=kept wine "$driver" install testdec "localhost:$port1" "localhost:$port2" </dev/null | tr -d '\r')
expect_eq "result" "$(sed -n 's/^result=//p' <<<"$output")" 0
expect_eq "LQUIET" "$(sed -n 's/^lquiet=//p' <<<"$output")" kept
forget testdec

echo "== Cancel in the middle leaves no file behind"
set_modes slow slow
before2=$(requests "$port2" testdec)
wine "$driver" install testdec "localhost:$port1" "localhost:$port2" </dev/null >cancel.out 2>&1 &
install_pid=$!
wine "$driver" cancel </dev/null >/dev/null || fail "no progress dialog to cancel"
wait "$install_pid" || true
expect_eq "result" "$(tr -d '\r' <cancel.out | sed -n 's/^result=//p')" 1
expect_eq "registration" "$(tr -d '\r' <cancel.out | sed -n 's/^path=//p')" ""
expect_eq "second host not asked after a cancel" "$(requests "$port2" testdec)" "$before2"
expect_eq "no download left in the temporary folder" "$(leftovers)" 0

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; server log:" >&2
  cat server.log >&2
  exit 1
fi
echo "all download checks passed"
