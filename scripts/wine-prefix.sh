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

# Wine draws the caption buttons, scroll bar arrows and check marks with the
# Marlett symbol font. Wine 8 as packaged here does not look in its own font
# folder (/usr/share/wine/fonts, from fonts-wine), only in the prefix's
# Windows font folder and in the system's fonts; without Marlett, the buttons
# show its character codes ("0", "1", "r"). Copied on every call, so that
# prefixes made before this step get it too; cheap when it is there already.
install_wine_fonts() {
  local fonts=$prefix/drive_c/windows/Fonts font
  mkdir -p "$fonts"
  for font in marlett.ttf; do
    if [ ! -f "/usr/share/wine/fonts/$font" ]; then
      echo "warning: /usr/share/wine/fonts/$font is missing (install fonts-wine)" >&2
      continue
    fi
    cmp -s "/usr/share/wine/fonts/$font" "$fonts/$font" || cp "/usr/share/wine/fonts/$font" "$fonts/$font"
  done
}

if [ -f "$prefix/.zed-ready" ]; then
  install_wine_fonts
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
install_wine_fonts
touch "$prefix/.zed-ready"
