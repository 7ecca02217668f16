#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in (once; about 8 s), and brings
# a prefix made by an earlier version of this script up to date.
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

# The stamp holds the version of the set-up the prefix has; earlier versions
# wrote an empty stamp. Raise the version when a step is added below.
version=2
stamp=$prefix/.zed-ready
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
  exit 0
fi

# The server writes the registry to the prefix as it stops.
stop_and_wait_for() {
  local file=$1 line=$2
  wineserver -k || true
  for _ in $(seq 50); do
    grep -qF "$line" "$prefix/$file" 2>/dev/null && return 0
    sleep 0.2
  done
  echo "the Wine prefix was not written ($line missing in $file)" >&2
  exit 1
}

if [ ! -f "$stamp" ]; then
  echo "Creating the Wine prefix $prefix"
  rm -rf "$prefix"
  wineboot -i >/dev/null 2>&1
  # A virtual desktop: without it every window close costs about two seconds.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
  stop_and_wait_for user.reg '"Desktop"="Default"'
else
  echo "Updating the Wine prefix $prefix"
fi

# Wine draws the caption buttons, scroll bar arrows and check marks with the
# Marlett symbol font. Wine 8 as packaged here does not look in its own font
# folder (/usr/share/wine/fonts, from fonts-wine), only in the prefix's
# Windows font folder and in the system's fonts; without Marlett the buttons
# show its character codes ("0", "1", "r").
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for font in marlett.ttf; do
  [ -f "/usr/share/wine/fonts/$font" ] || { echo "/usr/share/wine/fonts/$font is missing: install fonts-wine" >&2; exit 1; }
  cp "/usr/share/wine/fonts/$font" "$fonts/$font"
done

# Web pages (the editor's manual) open in Wine's browser hand-over. Wine's
# HTML engine registers them, and it is turned off above.
wine reg add 'HKLM\Software\Classes\.html' /ve /d htmlfile /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Classes\.htm' /ve /d htmlfile /f >/dev/null 2>&1
stop_and_wait_for system.reg '[Software\\Classes\\.htm]'

echo "$version" >"$stamp"
