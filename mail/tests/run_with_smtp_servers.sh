#!/usr/bin/env bash
# Runs a command (the Windows mail tests under Wine) with the test SMTP
# servers of smtp_test_server.py running, announced to it through
# ZED_SMTP_STATE_<MODE> as Wine paths. A Windows test cannot start a Linux
# program itself.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
stop() {
  for state in "$work"/*/; do
    [ -f "$state/pid" ] && kill "$(cat "$state/pid")" 2>/dev/null
  done
  rm -rf "$work"
}
trap stop EXIT
start() {  # name, mode, extra arguments
  local state="$work/$1"
  mkdir -p "$state"
  /usr/bin/python3 "$here/smtp_test_server.py" --detach --state "$state" --mode "$2" "${@:3}" || exit 1
  for _ in $(seq 100); do [ -f "$state/port" ] && break; sleep 0.1; done
  export "ZED_SMTP_STATE_$1=Z:$state"
}
start smtp smtp
start smtp_tls smtp --tls
start close close
start silent silent
start stall stall
# Wine hands the environment on to the Windows program.
"$@"
