# The whole show, sped up, without its sound server: first with none at all (OpenAL Soft left
# to its own choice of output, as a user has it), then with the server killed a few seconds in.
# Each time the show runs on time to its end by itself in silence, exits within a second of
# its last pass (nothing keeps it waiting on the sound) with status 0, and prints nothing: not
# the sound library, nor the server's client library, nor the other outputs tried in its place.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
speed=10
use_tune 9600

# Runs the show to its end; $1 names the case, and a command in $2 runs once the show is under way.
whole_show() {
  DEMO_PREFIX="$(sped_up "$speed")" start_demo
  wait_for_trace 'glfwGetTime -> [1-9][0-9]\.'
  ${2:-}
  local step
  for ((step = 0; step < 400; step++)); do
    awk -v t="$(last_time)" 'BEGIN { exit !(t > 109) }' && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.05
  done
  local last_pass_seen=$(date +%s%N)
  finish_demo_within 1 "$1: the demo still runs a second after its last pass"
  local exit_ms=$((($(date +%s%N) - last_pass_seen) / 1000000))
  expect_whole_schedule
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed ($1)"
  local real
  real=$(awk 'NR == 1 {first = $1} {last = $1} END {printf "%.1f", last - first}' "$trace")
  awk -v r="$real" -v s="$speed" 'BEGIN { exit !(r > 100 / s && r < 200 / s) }' \
    || fail "$1: took $real s at ${speed}x"
  echo "$1: the show ran $real s at ${speed}x and ended $exit_ms ms after its last pass"
}

whole_show "no sound server"
start_server
use_sound_output pulse
kill_server() {
  wait_for_stream
  stop_server KILL
}
whole_show "the server killed mid-show" kill_server
