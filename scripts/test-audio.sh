# Sound output for tests on a machine without sound hardware. Sourced:
#   start_private_pulse LOG_FILE   a private PulseAudio server whose only sink
#                                  is a null sink, so that sound plays in real
#                                  time; exports PULSE_SERVER
#   stop_private_pulse             stops it (also safe when none runs)
#   alsa_file_device CONFIG OUT    an ALSA configuration in folder CONFIG (use
#                                  it as XDG_CONFIG_HOME) whose default device
#                                  writes what is played to the file OUT
#   null_microphone NAME           a null sink NAME whose monitor becomes
#                                  the default source: what plays into the
#                                  sink is recorded, in real time, unchanged
#   feed_microphone FILE           plays the raw FILE (44.1 kHz 16-bit
#                                  stereo) into that sink with pacat, in the
#                                  background; stop_feeding ends it
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
  stop_feeding
  if [ -n "$private_pulse_pid" ]; then
    kill "$private_pulse_pid" 2>/dev/null || true
    wait "$private_pulse_pid" 2>/dev/null || true
  fi
  private_pulse_pid=
  [ -z "$private_pulse_runtime" ] || rm -rf "$private_pulse_runtime"
  private_pulse_runtime=
  unset PULSE_SERVER
}

alsa_file_device() {
  local config=$1 out=$2
  mkdir -p "$config/alsa"
  rm -f "$out"
  cat >"$config/alsa/asoundrc" <<ASOUND
pcm.!default {
  type asym
  playback.pcm "zedfile"
  capture.pcm "null"
}
pcm.zedfile {
  type file
  slave.pcm "null"
  file "$out"
  format "raw"
}
ASOUND
}

microphone_sink=
null_microphone() {
  microphone_sink=$1
  pactl load-module module-null-sink sink_name="$1" format=s16le rate=44100 channels=2 >/dev/null || return 1
  pactl set-default-source "$1.monitor"
}

feeder_pid=
feed_microphone() {
  stop_feeding
  # A second of buffer: a busy machine that starves pacat for less than that
  # puts no gap of silence into what the monitor delivers.
  pacat --playback --device="$microphone_sink" --format=s16le --rate=44100 --channels=2 --latency-msec=1000 \
    "$1" &
  feeder_pid=$!
}

stop_feeding() {
  [ -z "$feeder_pid" ] || kill "$feeder_pid" 2>/dev/null || true
  feeder_pid=
}
