# Shared steps for the tests that run the real demo binary as a user would: a 1920x1080 virtual
# screen of its own (or SCREEN_SIZE, set before sourcing; started here, once it accepts
# clients), a working directory with the demo's data, and a trace of its window-library calls
# (glfw_trace.c) to read what the run did. Sourced by each case script.
set -euo pipefail
: "${DEMO:?}" "${GLFW_TRACE:?}" "${DEMO_DATA:?}" "${MUSIC_WAV_TOOL:?}"

work=$(mktemp -d)
run_dir=$work/run
trace=$work/trace
mkdir "$run_dir"
: >"$trace"
xvfb_pid=
demo_pid=

cleanup() {
  [ -z "$demo_pid" ] || kill "$demo_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- demo stdout:" >&2; cat "$work/stdout" >&2 2>/dev/null || true
  echo "--- demo stderr:" >&2; cat "$work/stderr" >&2 2>/dev/null || true
  echo "--- trace (last 20 lines):" >&2; tail -n 20 "$trace" >&2
  exit 1
}

# The show's data table as the build writes it for the shell (show_data.txt beside the demo):
# "program VERTEX FRAGMENT" lines in start-up order, then "picture PATH" and "tune PATH".
show_data=$DEMO_DATA/show_data.txt
[ -s "$show_data" ] || { echo "FAIL: $show_data is missing: build first" >&2; exit 1; }
data_entry() { awk -v kind="$1" '$1 == kind { print $2 }' "$show_data"; }
data_files() { awk '{ for (i = 2; i <= NF; i++) if (!seen[$i]++) print $i }' "$show_data"; }
tune_file=$(data_entry tune)

# The run-time data beside the binary, seen from the demo's working directory (again as
# built, when a case calls it after changing it): each top-level folder or file linked.
link_data() {
  rm -rf "${run_dir:?}"/*
  local item
  for item in $(data_files | cut -d/ -f1 | sort -u); do
    [ ! -e "$DEMO_DATA/$item" ] || ln -s "$DEMO_DATA/$item" "$run_dir/$item"
  done
}
link_data

# The virtual screen, started once it accepts clients (again, by a case that ended the first);
# with XORG_CONF set before sourcing, a real X server of that configuration instead.
start_screen() {
  if [ -n "${XORG_CONF:-}" ]; then
    mkdir -p "$work/xorg.conf.d"
    Xorg -displayfd 3 -config "$XORG_CONF" -configdir "$work/xorg.conf.d" -logfile "$work/xorg.log" -noreset \
      -nolisten tcp -keeptty -novtswitch -sharevts 3>"$work/display" 2>/dev/null &
  else
    Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1920x1080x24}" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  fi
  xvfb_pid=$!
  read -r display_number <"$work/display" || fail "the X server did not start"
  export DISPLAY=:$display_number LIBGL_ALWAYS_SOFTWARE=1
}
mkfifo "$work/display"
start_screen

# The command that runs the demo with its clock sped up by the given factor: faketime, or in
# the sanitized suite (where libfaketime deadlocks against AddressSanitizer's start-up) the
# window library's timer scaled by test_clock.c, which that suite preloads.
sped_up() {
  if [ -n "${DEMO_SANITIZED:-}" ]; then echo "env GLFW_CLOCK_SPEED=$1"; else echo "faketime -f +0,0y_x$1"; fi
}

# Starts the demo in the background under the trace shim, with a fresh trace; extra arguments
# go to the demo, and DEMO_PREFIX (for instance a faketime command) runs in front of it.
# Libraries already preloaded (the sanitized suite's) stay preloaded.
start_demo() {
  : >"$trace"
  (cd "$run_dir" && GLFW_TRACE_FILE=$trace LD_PRELOAD=$GLFW_TRACE${LD_PRELOAD:+:$LD_PRELOAD} exec ${DEMO_PREFIX:-} \
     "$DEMO" "$@" >"$work/stdout" 2>"$work/stderr") &
  demo_pid=$!
}

# Runs the command given after $1 every 50 ms until it succeeds; false once $1 seconds have passed.
poll() {
  local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@"; do
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    sleep 0.05
  done
}

# Waits, up to a limit in seconds (60 by default), until the trace has a line matching the
# pattern.
traced_or_ended() { grep -qE "$1" "$trace" || ! kill -0 "$demo_pid" 2>/dev/null; }
wait_for_trace() {
  poll "${2:-60}" traced_or_ended "$1" || fail "timed out waiting for: $1"
  grep -qE "$1" "$trace" || fail "demo ended before: $1"
}

# Waits for the demo to end and sets status to its exit status.
finish_demo() {
  status=0
  wait "$demo_pid" || status=$?
  demo_pid=
}
# The same within $1 seconds; fails with message $2 if it still runs then.
finish_demo_within() {
  poll "$1" eval '! kill -0 "$demo_pid" 2>/dev/null' || fail "$2"
  finish_demo
}

# The window's X id, once the window exists (GLFW names an untitled window's class so).
demo_window() {
  xdotool search --sync --classname glfw-application | head -n 1
}

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

# The call names of the trace, without times and arguments, one per line.
calls() { awk '{print $2}' "$trace"; }

# The demo's own lines of standard output: its messages and each report's heading and
# separator, without the driver's log text between them (the driver's wording is its own).
report_separator=" -- $(printf -- '-%.0s' {1..51}) -- "
own_lines() {
  awk -v sep="$report_separator" '
    /^ERROR::(SHADER_COMPILATION|PROGRAM_LINKING)_ERROR of type: / { print; inlog = 1; next }
    $0 == sep { print; inlog = 0; next }
    !inlog { print }' "$work/stdout"
}

# The last demo time the trace shows, 0 before the first pass.
last_time() { grep -o 'glfwGetTime -> .*' "$trace" | tail -n 1 | awk '{printf "%.9f\n", $3 + 0}'; }

# The run went through the whole schedule and timed out with status 0: its last pass read a
# time past 109 s and, presenting nothing, terminated the window library (which gives the
# desktop its video mode back). With a speed-up factor as $1, it also took between 100 and 200
# show seconds' worth of real time at that speed; that real time is left in $real.
expect_whole_schedule() {
  expect_eq "$status" 0 "exit status"
  local t
  t=$(last_time)
  awk -v t="$t" 'BEGIN { exit !(t > 109) }' || fail "the last pass read $t"
  expect_eq "$(calls | tail -n 2 | xargs)" "glfwGetTime glfwTerminate" "the time-out path's last calls"
  [ -n "${1:-}" ] || return 0
  real=$(awk 'NR == 1 {first = $1} {last = $1} END {printf "%.1f", last - first}' "$trace")
  awk -v r="$real" -v s="$1" 'BEGIN { exit !(r > 100 / s && r < 200 / s) }' || fail "took $real s at ${1}x"
}

# The music cases: OpenAL Soft pointed at a config of the test's own, a tune of the test's own,
# and a run ended with Escape.
music_rate=48000

# Output to the named wave file, or with "pulse" to the sound server of pulse_lib.sh, as 32-bit
# float at the tunes' rate, limiter and dither off, so not a sample is altered. With "null":
# OpenAL Soft's own output that plays nowhere, and no other library of sound loaded. With no
# name: only ALSA, asked for a device that doesn't exist (no device on any machine, and both
# libraries complain on stderr unless told to be quiet).
use_sound_output() {
  local exact="frequency = $music_rate\nchannels = stereo\nsample-type = float32\noutput-limiter = false\ndither = false\nhrtf = false\n"
  case ${1:-} in
    '') printf '[general]\ndrivers = alsa\n[alsa]\ndevice = no-such-device\n' ;;
    pulse) printf "[general]\ndrivers = pulse\n$exact" ;;
    null) printf '[general]\ndrivers = null\n' ;;
    *) printf "[general]\ndrivers = wave\n$exact[wave]\nfile = %s\n" "$1" ;;
  esac >"$work/alsoft.conf"
  export ALSOFT_CONF=$work/alsoft.conf
}

# The tune the demo finds: the counter (music_wav_tool) of $1 frames.
use_tune() {
  rm -f "$run_dir/$tune_file"
  "$MUSIC_WAV_TOOL" counter "$run_dir/$tune_file" "$music_rate" "$1"
}

# Capture $1 of the tune of $2 frames as runs, "AT FIRST LENGTH" a line in capture frames
# (FIRST -1: silence); fails at a frame that is neither silence nor the tune.
capture_runs() { "$MUSIC_WAV_TOOL" runs "$1" "$2" 2>"$work/mismatch" || fail "$(cat "$work/mismatch")"; }
# The frames of the tune in capture $1 (of $2 frames) played back to back from its first frame,
# after the silence before it.
played_from_start() { capture_runs "$@" | awk '$2 >= 0 { n = $2 == 0 ? $3 : 0; exit } END { print n + 0 }'; }

# Ends the running demo with Escape; it must exit 0 having printed nothing, or $2 if given.
escape_and_check() {
  wait_for_trace glfwSwapBuffers
  demo_window >/dev/null
  xdotool key Escape
  finish_demo
  expect_eq "$status" 0 "exit status ($1)"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "${2:-}" "what was printed ($1)"
}
