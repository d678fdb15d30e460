# The X server gone mid-show while the music plays through the sound server: the demo ends
# within two seconds, its whole process gone (no thread of its own or of its libraries keeps it
# alive or waits on the sound), its stream closed on the server. Nothing is printed but the X
# library's own notice of the broken connection. Twice: as a user runs it, where a write to the
# dead connection may end the process at once (SIGPIPE), and with that signal ignored, so that
# the X library's error path runs the exit handlers, the sound engine's among them.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
start_server
use_sound_output pulse
use_tune 9600

x_server_gone() {
  start_demo
  wait_for_trace glfwSwapBuffers
  wait_for_stream
  kill "$xvfb_pid"
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
  local gone_at=$(date +%s%N)
  finish_demo_within 2 "$1: the demo still runs two seconds after the X server went"
  local end_ms=$((($(date +%s%N) - gone_at) / 1000000))
  expect_eq "$(cat "$work/stdout")" "" "$1: standard output"
  grep -vE '^(X connection to .* broken|XIO: |[[:space:]]+after [0-9]+ requests)' "$work/stderr" \
    && fail "$1: printed more than the X library's notice"
  expect_eq "$(streams)" "" "$1: streams left on the server"
  echo "the X server gone, $1: the demo ended within $end_ms ms with status $status, its stream closed"
}

x_server_gone "as a user runs it"
start_screen
DEMO_PREFIX="env --ignore-signal=PIPE" x_server_gone "SIGPIPE ignored"
