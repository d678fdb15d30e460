# The sound server gone wrong mid-show, as a desktop's can: frozen (stopped with SIGSTOP), then
# killed. Frozen, Escape still ends the demo within half a second (nothing waits on the sound).
# Killed, the show runs on time to its end by itself in silence, exits within half a second of
# its last pass. Each time with status 0, and nothing printed: not the sound library, nor the
# server's client library, nor the other outputs tried in its place.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
speed=10
end_limit_ms=500
use_tune 9600
start_server
use_sound_output pulse

# Waits for the demo to end, and fails unless it did within end_limit_ms of $1 (date +%s%N).
ends_soon_after() {
  finish_demo_within 10 "$2: the demo still runs 10 s on"
  end_ms=$((($(date +%s%N) - $1) / 1000000))
  ((end_ms <= end_limit_ms)) || fail "$2: the demo ended $end_ms ms after"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed ($2)"
}

start_demo
wait_for_trace glfwSwapBuffers
wait_for_stream
kill -STOP "$server_pid"
demo_window >/dev/null
xdotool key Escape
ends_soon_after "$(date +%s%N)" "Escape with the server frozen"
expect_eq "$status" 0 "exit status (server frozen)"
kill -CONT "$server_pid"
frozen_ms=$end_ms

DEMO_PREFIX="$(sped_up "$speed")" start_demo
wait_for_stream
stop_server KILL
poll 30 eval 'awk -v t="$(last_time)" "BEGIN { exit !(t > 109) }" || ! kill -0 "$demo_pid" 2>/dev/null'
ends_soon_after "$(date +%s%N)" "the server killed"
expect_whole_schedule "$speed"
echo "the server frozen: ended $frozen_ms ms after Escape; killed: the show ran $real s at ${speed}x and" \
  "ended $end_ms ms after its last pass"
