#!/usr/bin/env bash
# Cross-builds the codec stack from Debian's source packages with MinGW-w64,
# as static Windows libraries and console programs, into one install prefix
# (build/codecs/win64) that the win64 preset reads as ZED_CODECS_DIR.
#
# The sources come from `apt-get source` through a private sources list and
# private package lists: the machine's apt configuration is left alone.
# Each package is built once per version and recipe; a stamp under
# build/codecs/stamps records it, so a second run only checks the stamps.
#
# Usage: scripts/build-codecs.sh           (ZED_JOBS sets the parallel jobs)
#        ZED_CODECS_REFRESH=1 scripts/build-codecs.sh   re-reads the lists
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${ZED_CODECS_OUT:-$root/build/codecs}
prefix=$out/win64
logs=$out/logs
stamps=$out/stamps
sources=$out/src
aptdir=$out/apt
jobs=${ZED_JOBS:-2}
host=x86_64-w64-mingw32

packages=(lame libogg libvorbis flac vorbis-tools mpg123 opencore-amr ffmpeg espeak-ng)

mkdir -p "$prefix"/{bin,lib,include} "$logs" "$stamps" "$sources" \
  "$aptdir"/lists/partial "$aptdir"/cache/archives/partial

# --- private apt: only deb-src entries, only in our own folders --------------
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$aptdir/sources.list" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
deb-src [signed-by=$keyring] http://deb.debian.org/debian trixie main
EOF
# The release each package comes from (with its updates and security
# fixes): bookworm, but the mirror lacks files of bookworm's vorbis-tools
# mpg123 and espeak-ng sources (the upstream tarball, its signature).
declare -A release=([vorbis-tools]=trixie [mpg123]=trixie [espeak-ng]=trixie)
apt_options=(
  -o "Dir::Etc::SourceList=$aptdir/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::State::Lists=$aptdir/lists"
  -o "Dir::Cache=$aptdir/cache"
  -o "Dir::Cache::pkgcache=$aptdir/cache/pkgcache.bin"
  -o "Dir::Cache::srcpkgcache=$aptdir/cache/srcpkgcache.bin"
  -o "APT::Sandbox::User=root"
)

# The lists are read again only when the sources change or on request.
if [ -n "${ZED_CODECS_REFRESH:-}" ] || ! cmp -s "$aptdir/sources.list" "$aptdir/lists/sources.list.read"; then
  echo "== codecs: reading Debian's source lists"
  apt-get "${apt_options[@]}" -qq update >"$logs/apt-update.log" 2>&1 ||
    { tail -20 "$logs/apt-update.log"; echo "codecs: apt-get update failed" >&2; exit 1; }
  cp "$aptdir/sources.list" "$aptdir/lists/sources.list.read"
fi

# The newest version of a source package in its release's private lists.
source_version() {
  local best="" v suite=${release[$1]:-bookworm}
  for v in $(apt-cache "${apt_options[@]}" madison "$1" 2>/dev/null |
             awk -F' [|] ' -v suite="$suite" \
               '$3 ~ / Sources$/ && $3 ~ (" " suite "[-/]") {print $2}'); do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done
  [ -n "$best" ] || { echo "codecs: no source package $1 in the lists" >&2; return 1; }
  echo "$best"
}

# --- the cross toolchain ----------------------------------------------------
launcher=""
command -v ccache >/dev/null && launcher="ccache "
export CC="${launcher}$host-gcc-posix" CXX="${launcher}$host-g++-posix"
export AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip NM=$host-nm
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
export CPPFLAGS="-I$prefix/include"
export CFLAGS="-O2" CXXFLAGS="-O2"
# libtool takes "-static" for itself; "--static" reaches the compiler driver,
# so that the programs need no DLL of the toolchain (libssp, libgcc).
export LDFLAGS="-L$prefix/lib --static -static-libgcc -static-libstdc++"
toolchain="$CC $CXX $CPPFLAGS $CFLAGS $CXXFLAGS $LDFLAGS"
autotools_static=(--host=$host --prefix="$prefix" --disable-shared --enable-static)

# --- one recipe per package, run in the unpacked source folder --------------
build_lame() {
  # The front end reads raw PCM and WAVE; no GTK analyser, no decoder
  # front end beyond what the program needs.
  ./configure "${autotools_static[@]}" --disable-gtktest --disable-analyzer-hooks
  make -j"$jobs" -C mpglib
  make -j"$jobs" -C libmp3lame
  make -j"$jobs" -C frontend
  make -C libmp3lame install
  make -C include install
  cp frontend/lame.exe "$prefix/bin/mp3enc.exe"
}

build_libogg() {
  ./configure "${autotools_static[@]}"
  make -j"$jobs" -C src install
  make -C include install
  make install-pkgconfigDATA
}

build_libvorbis() {
  ./configure "${autotools_static[@]}" --disable-docs --disable-examples --disable-oggtest
  make -j"$jobs" -C lib install
  make -C include install
  make install-pkgconfigDATA
}

build_flac() {
  ./configure "${autotools_static[@]}" --disable-ogg --disable-cpplibs \
    --disable-doxygen-docs --disable-examples \
    --disable-thorough-tests --disable-stack-smash-protection
  for dir in src/share src/libFLAC src/flac; do make -j"$jobs" -C "$dir"; done
  make -C src/libFLAC install
  make -C include install
  cp src/flac/flac.exe "$prefix/bin/flac.exe"
}

build_vorbis-tools() {
  ./configure "${autotools_static[@]}" --disable-nls --disable-ogg123 \
    --disable-vorbiscomment --disable-vcut --disable-ogginfo \
    --without-curl --without-flac --without-speex --without-kate
  # Only the encoder: our own oggdec refuses damaged and cut-short files.
  make -j"$jobs" -C share
  # The Windows build of the shared helpers has no convert_free_charset,
  # which oggenc calls on its way out; there is no charset state to free.
  echo 'void convert_free_charset(void) {}' >share/no_charset_state.c
  $CC $CFLAGS -c share/no_charset_state.c -o share/no_charset_state.o
  make -j"$jobs" -C oggenc LIBS="$PWD/share/no_charset_state.o"
  cp oggenc/oggenc.exe "$prefix/bin/"
}

build_mpg123() {
  ./configure "${autotools_static[@]}" --disable-components --enable-libmpg123 \
    --with-cpu=x86-64
  make -j"$jobs"
  make install-data-am install-exec-am 2>/dev/null || make install
}

build_opencore-amr() {
  ./configure "${autotools_static[@]}" --disable-amrwb-decoder --disable-examples
  make -j"$jobs"
  make install
}

build_ffmpeg() {
  # Only ffmpeg's own LGPL codecs: the AAC encoder and decoder, the Shorten
  # decoder and the ACT demuxer with its G.729 decoder, plus the containers
  # their files come in.
  ./configure --prefix="$prefix" --enable-cross-compile --target-os=mingw32 \
    --arch=x86_64 --cross-prefix=$host- --cc="${launcher}$host-gcc-posix" \
    --pkg-config=false --enable-static --disable-shared \
    --disable-everything --disable-autodetect --disable-programs --disable-doc \
    --disable-avdevice --disable-avfilter --disable-swscale --disable-postproc \
    --disable-swresample --disable-network --disable-x86asm --disable-debug \
    --enable-encoder=aac --enable-decoder=aac,shorten,g729 \
    --enable-parser=aac --enable-demuxer=aac,mov,shorten,act \
    --enable-muxer=adts,ipod --enable-protocol=file,pipe
  make -j"$jobs"
  make install
}

build_espeak-ng() {
  # The speech engine as a static library, without sound output, threads or
  # the optional synthesizers, plus its English voice data. The data is
  # compiled by a native build of the same source (the compiler of the data
  # is the engine itself) and is the same for Windows.
  ./autogen.sh
  local native=$PWD/../native-data
  rm -rf "$native" && cp -a . "$native"
  local options=(--without-pcaudiolib --without-sonic --without-async --without-mbrola
                 --without-klatt --without-speechplayer --without-extdict-ru
                 --without-extdict-cmn --without-extdict-yue)
  (cd "$native" &&
    env CC=gcc CXX=g++ CPPFLAGS= CFLAGS=-O2 CXXFLAGS=-O2 LDFLAGS= PKG_CONFIG_LIBDIR= \
      ./configure --disable-shared "${options[@]}" &&
    make -j"$jobs" src/espeak-ng &&
    make espeak-ng-data/phontab espeak-ng-data/en_dict)
  local data=$prefix/share/espeak-ng-data
  rm -rf "$data" && mkdir -p "$data/voices"
  cp "$native"/espeak-ng-data/{phontab,phonindex,phondata,intonations,en_dict} "$data/"
  cp -r "$native/espeak-ng-data/lang" "$data/"
  cp -r "$native/espeak-ng-data/voices/!v" "$data/voices/"
  rm -rf "$native"
  ./configure "${autotools_static[@]}" "${options[@]}"
  make -j"$jobs" src/libespeak-ng.la
  cp src/.libs/libespeak-ng.a "$prefix/lib/"
  mkdir -p "$prefix/include/espeak-ng"
  cp src/include/espeak-ng/*.h "$prefix/include/espeak-ng/"
}

# --- fetch, build, stamp ----------------------------------------------------
# Packages that need others come after them in one chain; the chains build
# side by side, so that one package's configure script (a single process)
# overlaps another's compiling.
chains=("libogg libvorbis vorbis-tools" "ffmpeg" "lame flac" "mpg123 opencore-amr espeak-ng")

stamp_of() {  # PACKAGE VERSION
  local recipe
  recipe=$( (declare -f "build_$1"; echo "$toolchain") | sha1sum | cut -c1-8)
  echo "$stamps/$1-$2-$recipe"
}

# Fetches a package's sources (one at a time: apt is not run side by side).
fetch() {  # PACKAGE VERSION
  local work="$sources/$1" log="$logs/$1.log"
  rm -rf "$work" && mkdir -p "$work"
  if ! (cd "$work" && apt-get "${apt_options[@]}" source -qq "$1=$2") >"$log" 2>&1; then
    tail -30 "$log"; echo "codecs: fetching $1 failed (log: $log)" >&2; return 1
  fi
}

build() {  # PACKAGE VERSION
  local package=$1 version=$2 start=$SECONDS log="$logs/$1.log" tree
  tree=$(find "$sources/$package" -mindepth 1 -maxdepth 1 -type d | head -1)
  # The recipe runs in a subshell of its own that stops at its first
  # failing command (errexit does not hold inside an "if" condition).
  (set -ex; cd "$tree"; "build_$package") >>"$log" 2>&1 &
  if ! wait $!; then
    tail -40 "$log"; echo "codecs: building $package failed (log: $log)" >&2; return 1
  fi
  rm -rf "${sources:?}/$package"
  touch "$(stamp_of "$package" "$version")"
  echo "== codecs: $package $version built in $((SECONDS - start)) s"
}

total_start=$SECONDS
declare -A version_of=()
for package in "${packages[@]}"; do
  version_of[$package]=$(source_version "$package")
  if [ -f "$(stamp_of "$package" "${version_of[$package]}")" ]; then
    echo "== codecs: $package ${version_of[$package]} cached"
    version_of[$package]=""
    continue
  fi
  echo "== codecs: fetching $package ${version_of[$package]}"
  rm -f "$stamps/$package"-*
  fetch "$package" "${version_of[$package]}"
done

chain_jobs=()
for chain in "${chains[@]}"; do
  (
    for package in $chain; do
      [ -z "${version_of[$package]}" ] || build "$package" "${version_of[$package]}" || exit 1
    done
  ) &
  chain_jobs+=($!)
done
failed=0
for job in "${chain_jobs[@]}"; do wait "$job" || failed=1; done
[ "$failed" -eq 0 ] || { echo "codecs: the stack is incomplete" >&2; exit 1; }

# The programs are carried inside installers: no symbols.
$STRIP "$prefix"/bin/*.exe
echo "== codecs: stack ready in $((SECONDS - total_start)) s ($prefix)"
