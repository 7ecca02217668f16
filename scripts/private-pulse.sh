# A private PulseAudio server whose only sink is a null sink, so that sound
# plays in real time on a machine without sound hardware. Sourced by tests:
#   start_private_pulse LOG_FILE   starts it and exports PULSE_SERVER
#   stop_private_pulse             stops it (also safe when none runs)
# The server's socket path must stay short, whatever the build folder: it
# lives in a temporary folder of its own.

private_pulse_pid=
private_pulse_runtime=

start_private_pulse() {
  local log=$1
  private_pulse_runtime=$(mktemp -d /tmp/zed-audio.XXXXXX)
  local runtime=$private_pulse_runtime
  HOME=$runtime XDG_RUNTIME_DIR=$runtime PULSE_RUNTIME_PATH=$runtime PULSE_STATE_PATH=$runtime \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix socket=$runtime/native auth-anonymous=1" \
    -L "module-null-sink sink_name=speakers" >"$log" 2>&1 &
  private_pulse_pid=$!
  export PULSE_SERVER=unix:$runtime/native
  for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "PulseAudio did not start: $(cat "$log")" >&2
  return 1
}

stop_private_pulse() {
  if [ -n "$private_pulse_pid" ]; then
    kill "$private_pulse_pid" 2>/dev/null || true
    wait "$private_pulse_pid" 2>/dev/null || true
  fi
  private_pulse_pid=
  [ -z "$private_pulse_runtime" ] || rm -rf "$private_pulse_runtime"
  private_pulse_runtime=
  unset PULSE_SERVER
}
