# Shared set-up of the recorder's end-to-end tests; sourced by each
# rezara*_e2e.sh after E2E_NAME (and E2E_AUDIO) are set, with the win64
# build folder as $1. Builds on the editor's e2e_common.sh (work folder,
# Wine, the driver) and adds the recorder, its state line and its starts.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../../editor/tests/e2e/e2e_common.sh"
rezara=$build/recorder/rezara.exe
title="Rezara Sound Recorder"
holds() { awk "BEGIN { exit !($1) }"; }
# The first start runs on in the background; later starts hand over and end.
start_recorder() { (cd "$work" && wine "$rezara" "$@" >>"$work/recorder.log" 2>&1 &); }
rez() { (cd "$work" && timeout 60 wine "$rezara" "$@" >>"$work/recorder.log" 2>&1); }
# The status line of the window: "Recording...", "Ready", ...
state() { drive dialog-get "$title" 1001 2>/dev/null || true; }
wait_state() {  # STATE [SECONDS]
  for _ in $(seq $((${2:-15} * 5))); do
    [ "$(state)" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
running() { drive dialog-wait "$title" "${1:-0}" >/dev/null 2>&1; }
