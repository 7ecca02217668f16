# Shared set-up of the component tests; sourced with the win64 build folder
# as $1 and TEST_NAME set. Gives a fresh work folder, the Wine environment,
# the test signals and helpers to run components and compare their sound.
set -euo pipefail

build=$(cd "$1" && pwd)
tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
programs=$build/component-programs
work=$build/component-tests/${TEST_NAME:?set TEST_NAME before sourcing}
rm -rf "$work"
mkdir -p "$work"
cd "$work"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
finish() {
  if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed" >&2; exit 1; fi
  echo "all checks passed"
}
trap 'echo "FAIL: a command failed at line $LINENO" >&2' ERR

# Wine shows the Linux file system as drive Z:.
win() { local path=$1; [[ $path == /* ]] || path=$PWD/$path; printf 'Z:%s' "${path//\//\\}"; }
# Runs a component program; its output goes to NAME.log in the work folder.
component() {
  local name=$1; shift
  wine "$programs/$name.exe" "$@" >>"$work/$name.log" 2>&1
}
compare() { wine "$build/components/pcm_compare.exe" "$(win "$1")" "$(win "$2")" "${@:3}" | tr -d '\r'; }

# Test signals: a tone in each channel (440 Hz left, 1 kHz right) mixed
# with a sweep; as WAVE and as raw 16-bit little-endian samples.
make_signal() {  # NAME RATE CHANNELS SECONDS
  sox -n -r "$2" -c "$3" -b 16 -e signed "$1.wav" \
    synth "$4" sine 440 sine 1000 synth "$4" sine mix 200-3000 gain -8
  sox "$1.wav" -t raw -e signed -b 16 -L "$1.raw"
}
# Telephone speech (espeak-ng), 8,000 Hz mono: what the speech codecs are
# made for.
make_speech() {  # NAME
  espeak-ng -w "$1-22k.wav" "Recording number seven. The quick brown fox jumps over the lazy dog."
  sox "$1-22k.wav" -r 8000 -c 1 -b 16 -e signed "$1.wav"
  sox "$1.wav" -t raw -e signed -b 16 -L "$1.raw"
}
to_raw() { sox "$1" -t raw -e signed -b 16 -L "$2"; }
# Dictaphone ACT files, G.729 by Debian's bcg729, from raw 8,000 Hz mono.
make_act() {  # RAW ACT
  [ -x "$work/act_file_maker" ] ||
    cc -O2 -o "$work/act_file_maker" "$tests/act_file_maker.c" -lbcg729
  "$work/act_file_maker" <"$1" >"$2"
}
# Shorten files of raw 16-bit samples.
make_shn() {  # RAW CHANNELS SHN
  [ -x "$work/shn_file_maker" ] ||
    cc -O2 -o "$work/shn_file_maker" "$tests/shn_file_maker.c"
  "$work/shn_file_maker" "$2" <"$1" >"$3"
}
