# The sound path a desktop user has: the demo's music through OpenAL Soft's PulseAudio backend
# to a real PulseAudio server of the test's own (one null sink at the tunes' rate, recorded from
# its monitor by parec), in a private runtime folder that is also HOME, so no other server,
# cookie or setting is seen. Servers and recorders are stopped by their process ids. Sourced by the sound-server cases
# after lib.sh.
server_dir=$work/pulse
mkdir -p "$server_dir"
export XDG_RUNTIME_DIR=$server_dir HOME=$server_dir
unset PULSE_SERVER PULSE_SINK PULSE_COOKIE PULSE_PROP ALSOFT_CONF ALSOFT_DRIVERS
# The library would start a server of its own for a client that finds none (it does for a
# user, not for root): a test that removes its server must find none.
printf 'autospawn = no\n' >"$server_dir/client.conf"
export PULSE_CLIENTCONFIG=$server_dir/client.conf
sink=show
null_sink="module-null-sink sink_name=$sink rate=$music_rate format=float32le channels=2"
sink_module=$null_sink
recorder_dir=$server_dir  # the runtime folder of the server whose sink is recorded
server_pid=
relay_pid=
recorder_pid=

stop_pulse() {
  local pid
  # A demo that failed to end under faketime is faketime's child, which cleanup wouldn't reach.
  [ -z "$demo_pid" ] || pkill -KILL -P "$demo_pid" 2>/dev/null || true
  for pid in "$recorder_pid" "$server_pid" "$relay_pid"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  done
}
trap 'stop_pulse; cleanup' EXIT

# Starts a server in runtime folder $1 with sink module $2, sets launched to its process id, and
# waits up to ten seconds until it accepts clients.
launch_server() {
  local dir=$1
  XDG_RUNTIME_DIR=$1 env -u DISPLAY pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no -L "$2" -L module-native-protocol-unix >>"$1/server.log" 2>&1 &
  launched=$!
  poll 10 eval 'pactl --server="unix:$dir/pulse/native" info >/dev/null 2>&1 || ! kill -0 "$launched" 2>/dev/null' &&
    kill -0 "$launched" 2>/dev/null && return 0
  cat "$1/server.log" >&2
  fail "the sound server did not start"
}

# The demo's server, with its sink.
start_server() {
  launch_server "$server_dir" "$sink_module"
  server_pid=$launched
}

# Stops the demo's server with the given signal (TERM by default) and waits until it is gone.
stop_server() {
  kill -s "${1:-TERM}" "$server_pid"
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}

# The playback streams on the demo's server, one a line.
streams() { pactl --server="unix:$server_dir/pulse/native" list short sink-inputs 2>/dev/null; }

# Waits, up to ten seconds, until the demo plays a stream on its server.
wait_for_stream() {
  poll 10 eval '[ -n "$(streams)" ]' || fail "the demo plays nothing on the sound server"
}

# Puts a second server behind the demo's, whose sink then relays all it plays to the second
# server's null sink, which is recorded: the recording goes on, in one time, while the demo's
# server stops and starts again. (The older tunnel module, as it takes a latency: the newer one
# starts sounding some 0.15 s late on each connection.)
use_relay() {
  recorder_dir=$work/recorder
  mkdir -p "$recorder_dir"
  launch_server "$recorder_dir" "$null_sink"
  relay_pid=$launched
  sink_module="module-tunnel-sink server=unix:$recorder_dir/pulse/native sink=$sink"
  sink_module+=" sink_name=$sink latency_msec=20 rate=$music_rate format=float32le channels=2"
}

# Records what reaches the sink, as raw 32-bit float stereo, into the named file until the
# server goes or stop_recording; returns once the first frames are in.
start_recording() {
  parec --server="unix:$recorder_dir/pulse/native" --raw --device="$sink.monitor" \
    --format=float32le --rate="$music_rate" --channels=2 --latency-msec=50 >"$1" 2>/dev/null &
  recorder_pid=$!
  poll 10 test -s "$1" || fail "nothing recorded from the sound server"
}

stop_recording() {
  kill "$recorder_pid" 2>/dev/null || true
  wait "$recorder_pid" 2>/dev/null || true
  recorder_pid=
}

# Plays the counter tune of $1 frames to the server's sink, recorded into capture $2 from before
# the demo starts; returns once the demo presents its first frame.
play_recorded() {
  use_sound_output pulse
  use_tune "$1"
  start_recording "$2"
  start_demo
  wait_for_trace glfwSwapBuffers
}

# The runs of the counter tune of $2 frames in capture $1, silences left out:
# "CAPTURE_FRAME TUNE_FRAME LENGTH" a line.
tune_runs() { capture_runs "$1" "$2" | awk '$2 >= 0'; }

# Waits, up to a limit in seconds, until capture $1 of the counter tune of $2 frames holds $3
# frames of it in all (or, with a fifth argument, in one run, counted from that capture frame on),
# while the demo runs.
wait_for_music() {
  local capture=$1 frames=$2 want=$3 deadline=$((SECONDS + ${4:-30})) from=${5:-} music
  while ((SECONDS < deadline)); do
    music=$(tune_runs "$capture" "$frames" |
      awk -v from="$from" 'from == "" { n += $3; next }
        { after = $1 + $3 - ($1 > from ? $1 : from); if (after > n) n = after } END { print n + 0 }')
    ((music >= want)) && return 0
    kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while playing"
    sleep 0.05
  done
  fail "only $music frames of the tune recorded in time"
}

# Fails unless each run of the counter tune of $2 frames in runs file $1 after the first begins
# at the tune frame that playing on through the silence before it would have reached: exactly
# after a short silence (a server that found the stream's buffer empty dropped sound, but the
# stream kept time), to within $3 frames after one of half a second or more (the server gone).
expect_time_kept() {
  awk -v n="$2" -v within="$3" -v long="$((music_rate / 2))" '
    function due() { return (frame + $1 - end) % n }
    function off() { return (($2 - due()) % n + n + int(n / 2)) % n - int(n / 2) }
    NR > 1 && (off() > ($1 - end < long ? 0 : within) || -off() > ($1 - end < long ? 0 : within)) {
      printf "capture frame %d: tune frame %d after a silence, %d frames from where playing on gives\n",
        $1, $2, off()
      bad = 1; exit }
    { frame = ($2 + $3) % n; end = $1 + $3 } END { exit bad }' "$1" >"$work/slip" || fail "$(cat "$work/slip")"
}
