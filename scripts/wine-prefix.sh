#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in (once; about 8 s).
# Usage: scripts/wine-prefix.sh [prefix folder]   (default: build/win64/wineprefix)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:-$root/build/win64/wineprefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No .NET or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -f "$prefix/.zed-ready" ]; then
  exit 0
fi

echo "Creating the Wine prefix $prefix"
rm -rf "$prefix"
wineboot -i >/dev/null 2>&1
# A virtual desktop: without it every window close costs about two seconds.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
# The server writes the registry to the prefix as it stops.
wineserver -k || true
for _ in $(seq 50); do
  grep -q '"Desktop"="Default"' "$prefix/user.reg" 2>/dev/null && break
  sleep 0.2
done
grep -q '"Desktop"="Default"' "$prefix/user.reg" || { echo "the Wine prefix was not written" >&2; exit 1; }
touch "$prefix/.zed-ready"
