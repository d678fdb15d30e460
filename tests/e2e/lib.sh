# Shared steps for the tests that run the real demo binary as a user would: a virtual screen
# of its own, a working directory with the demo's data, and a trace of its window-library
# calls (glfw_trace.c) to read what the run did. Sourced by each case script.
set -euo pipefail
: "${DEMO:?}" "${GLFW_TRACE:?}" "${DEMO_DATA:?}"

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
  echo "--- trace (last 20 lines):" >&2; tail -n 20 "$trace" >&2
  exit 1
}

# The run-time data beside the binary, seen from the demo's working directory.
for item in newshaders imgs demotune.wav; do
  [ ! -e "$DEMO_DATA/$item" ] || ln -s "$DEMO_DATA/$item" "$run_dir/$item"
done

# Starts a 1920x1080 virtual screen (or SCREEN_SIZE, e.g. 640x360x24, for a run too slow to
# draw full frames) and waits until it accepts clients.
start_screen() {
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1920x1080x24}" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  xvfb_pid=$!
  local number
  read -r number <"$work/display"
  export DISPLAY=:$number
  export LIBGL_ALWAYS_SOFTWARE=1
}

# Starts the demo in the background under the trace shim; extra arguments go to the demo,
# and DEMO_PREFIX (for instance a faketime command) runs in front of it. Libraries already
# preloaded (the sanitized suite's) stay preloaded.
start_demo() {
  (cd "$run_dir" && GLFW_TRACE_FILE=$trace LD_PRELOAD=$GLFW_TRACE${LD_PRELOAD:+:$LD_PRELOAD} exec ${DEMO_PREFIX:-} \
     "$DEMO" "$@" >"$work/stdout" 2>"$work/stderr") &
  demo_pid=$!
}

# Waits, up to a limit in seconds, until the trace has a line matching the pattern.
wait_for_trace() {
  local pattern=$1 limit=${2:-60} step
  for ((step = 0; step < limit * 20; step++)); do
    grep -qE "$pattern" "$trace" && return 0
    kill -0 "$demo_pid" 2>/dev/null || { grep -qE "$pattern" "$trace" && return 0; fail "demo ended before: $pattern"; }
    sleep 0.05
  done
  fail "timed out waiting for: $pattern"
}

# Waits for the demo to end and sets status to its exit status.
finish_demo() {
  status=0
  wait "$demo_pid" || status=$?
  demo_pid=
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

# Gives the run its own copy of a data directory in place of the link to the build's, so a
# case can break or remove files in it.
own_copy() {
  rm "$run_dir/$1"
  cp -r "$DEMO_DATA/$1" "$run_dir/$1"
}

# The demo's own lines of standard output: its messages and each report's heading and
# separator, without the driver's log text between them (the driver's wording is its own).
report_separator=" -- $(printf -- '-%.0s' {1..51}) -- "
own_lines() {
  awk -v sep="$report_separator" '
    /^ERROR::(SHADER_COMPILATION|PROGRAM_LINKING)_ERROR of type: / { print; inlog = 1; next }
    $0 == sep { print; inlog = 0; next }
    !inlog { print }' "$work/stdout"
}

# The run went through the whole schedule and timed out with status 0: its last pass read a
# time past 109 s and the close path never ran.
expect_whole_schedule() {
  expect_eq "$status" 0 "exit status"
  local last_time
  last_time=$(grep -o 'glfwGetTime -> .*' "$trace" | tail -n 1 | awk '{print $3}')
  awk -v t="$last_time" 'BEGIN { exit !(t > 109) }' || fail "the last pass read $last_time"
  ! grep -q glfwTerminate "$trace" || fail "the run took the close path"
}
