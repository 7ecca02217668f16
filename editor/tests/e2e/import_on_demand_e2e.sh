#!/usr/bin/env bash
# End-to-end test of opening a FLAC file in an editor that has no FLAC
# decoder yet, in a Wine prefix of its own: the import downloads the decoder
# component's installer over HTTPS from a local server (whose certificate
# authority only this prefix trusts), runs it quietly, and the file then
# opens with the samples of Debian's flac.
# Usage: import_on_demand_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=import_on_demand
build_folder=$(cd "$1" && pwd)
export WINEPREFIX=$build_folder/import-on-demand-prefix
rm -rf "$WINEPREFIX"
"$(dirname "$0")/../../../scripts/wine-prefix.sh" "$WINEPREFIX" >/dev/null
source "$(dirname "$0")/e2e_common.sh"

download_driver=$build/componentsetup/tests/download_driver.exe
[ -f "$download_driver" ] || fail "download_driver.exe is not built"
[ -f "$build/component-installers/flacdec.exe" ] || fail "the flacdec installer is not built"

server_pid=""
stop_all() {
  drive close >/dev/null 2>&1 || true
  drive answer Razavo 7 3 >/dev/null 2>&1 || true
  drive wait-gone 20 >/dev/null 2>&1 || true
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap stop_all EXIT

cd "$work"
mkdir -p served
cp "$build/component-installers/flacdec.exe" served/
source "$root/componentsetup/tests/component_server_setup.sh"
start_component_server served "$work/modes" || fail "no component server"
wine "$download_driver" trust "$(win "$work/ca.der")" </dev/null >/dev/null || fail "the test authority was not trusted"
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v ComponentHost /d "localhost:$port1" /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Razavo\Download' /v WebHost /d "localhost:$port2" /f >/dev/null
wine reg query 'HKLM\Software\Zedirad\Components\flacdec' >/dev/null 2>&1 && fail "flacdec is registered already"

sox -V1 -n -r 44100 -c 2 -b 16 music.wav synth 2.5 sine 300-2500 synth pinknoise mix gain -6
flac -s -f -o music.flac music.wav
flac -s -d -f --force-raw-format --endian=little --sign=signed -o reference.raw music.flac

echo "-- a FLAC file opens once its decoder is downloaded and installed"
start_editor "$(win music.flac)"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
for _ in $(seq 120); do [ "$(drive documents)" = music.flac ] && break; sleep 0.5; done
[ "$(drive documents)" = music.flac ] || fail "music.flac did not open: $(drive documents)"
grep -q "GET /components/flacdec.exe" server.log || fail "the decoder's installer was not downloaded"
registered=$(wine reg query 'HKLM\Software\Zedirad\Components\flacdec' /v Path 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_SZ *//p')
[ "$registered" = 'C:\Program Files\Zedirad\Components\flacdec\flacdec.exe' ] ||
  fail "flacdec is registered as '$registered'"
import -window root "$work/music.png" || true
save_active_as "$work/music-saved.wav"
sox -V1 music-saved.wav -t raw -e signed -b 16 -L saved.raw
cmp -s reference.raw saved.raw || fail "the samples differ from flac -d's"
echo "ok: downloaded, installed, opened with flac's samples"
echo "PASS"
