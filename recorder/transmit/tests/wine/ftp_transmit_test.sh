#!/usr/bin/env bash
# Wine test of passing a recording on: an upload to a real FTP server (Debian's
# pyftpdlib on 127.0.0.1) into the login folder and into a named folder, a
# refused login, and the queue with all four methods on while the e-mail
# fails: the folder copy, the upload and the program still happen.
# Usage: ftp_transmit_test.sh BUILD_DIR   (the win64 build folder)
set -Eeuo pipefail
build=$(cd "$1" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
check=$build/recorder/transmit/transmit_check.exe
work=$build/test-tmp/ftp_transmit
rm -rf "$work" && mkdir -p "$work/home/inbox" "$work/mirror"
fail() { echo "FAIL: $*" >&2; exit 1; }
win() { winepath -w "$1" 2>/dev/null; }

# Debian's Python: the one the python3-pyftpdlib package belongs to.
port_file=$work/port
/usr/bin/python3 - "$work/home" "$port_file" >"$work/server.log" 2>&1 <<'PY' &
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
authorizer = DummyAuthorizer()
authorizer.add_user("rec", "s3cret pass", sys.argv[1], perm="elradfmw")
handler = FTPHandler
handler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), handler)
with open(sys.argv[2], "w") as f:
    f.write(str(server.address[1]))
server.serve_forever()
PY
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$port_file" ] && break; sleep 0.1; done
[ -s "$port_file" ] || fail "the FTP server did not start: $(cat "$work/server.log")"
port=$(cat "$port_file")

sox -V1 -n -r 44100 -c 2 -b 16 "$work/Take 1.wav" synth 2 sine 440
echo "-- upload into the login folder and into a named folder"
wine "$check" ftp "127.0.0.1:$port" rec "s3cret pass" - "$(win "$work/Take 1.wav")" </dev/null ||
  fail "the upload into the login folder failed"
cmp "$work/Take 1.wav" "$work/home/Take 1.wav" || fail "the uploaded file differs"
wine "$check" ftp "127.0.0.1:$port" rec "s3cret pass" inbox "$(win "$work/Take 1.wav")" </dev/null ||
  fail "the upload into inbox failed"
cmp "$work/Take 1.wav" "$work/home/inbox/Take 1.wav" || fail "the file uploaded into inbox differs"
echo "-- a refused login and a missing folder fail"
wine "$check" ftp "127.0.0.1:$port" rec wrong - "$(win "$work/Take 1.wav")" </dev/null &&
  fail "a refused login reported success"
wine "$check" ftp "127.0.0.1:$port" rec "s3cret pass" nowhere "$(win "$work/Take 1.wav")" </dev/null &&
  fail "an upload into a missing folder reported success"

echo "-- the queue with all four methods; the e-mail fails"
rm -f "$work/home/Take 1.wav"
# The program notes its argument: cmd's echo into a file.
messages=$(wine "$check" queue "$(win "$work/bgsend.lst")" "$(win "$work/mirror")" "127.0.0.1:$port" rec \
  "s3cret pass" "cmd /c echo %s> $(win "$work/program-ran.txt")" "$(win "$work/Take 1.wav")" </dev/null |
  tr -d '\r') || fail "the queue did not run as expected: $messages"
[ "$messages" = 'Cannot send the file "Take 1.wav" to email. Please check the email settings in Options->Transmit again.' ] ||
  fail "unexpected messages: $messages"
cmp "$work/Take 1.wav" "$work/mirror/Take 1.wav" || fail "the folder copy differs"
cmp "$work/Take 1.wav" "$work/home/Take 1.wav" || fail "the FTP upload after the failed e-mail differs"
for _ in $(seq 50); do [ -s "$work/program-ran.txt" ] && break; sleep 0.1; done
grep -q 'Take 1.wav' "$work/program-ran.txt" || fail "the program did not run with the file"
[ ! -e "$work/bgsend.lst" ] || fail "the send list was left behind"
echo "PASS"
