#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the toolkit:
# the native and MinGW-w64 toolchains, Wine, Xvfb and the reference audio tools.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine xvfb xauth imagemagick
  sox libsox-fmt-all lame flac vorbis-tools mpg123 libmpg123-dev espeak-ng
  pulseaudio pulseaudio-utils openssl python3 mscompress
  dpkg-dev autoconf automake libtool pkg-config debian-archive-keyring ffmpeg libbcg729-dev
  id3v2 python3-mutagen
  python3-aiosmtpd python3-pyftpdlib libssl-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
