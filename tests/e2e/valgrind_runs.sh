# Memcheck on the real demo, twice: a few frames at its own pace ended with Escape (the close
# path), and the whole schedule to its time-out on a stepped clock (valgrind is far too slow
# for a sped-up wall clock). Each must exit 0: memcheck turns any error outside the system
# libraries named in valgrind.supp, and any block definitely lost, into status 99.
# Arguments name the runs ("escape", "schedule"; both by default): each keeps to one core, so
# scripts/test-valgrind runs them side by side, each on a screen of its own.
# A smaller monitor: the fullscreen window takes its size, and a pass takes seconds, not tens.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
# The same sound path on every machine, whatever sound packages it has: OpenAL Soft's null
# output. Left to its own choice, OpenAL Soft probes ALSA, whose configuration loads the
# plugins of the sound servers installed (PulseAudio's, through its hooks) and unloads them,
# and glibc's dlclose keeps a block that memcheck counts as lost: a verdict on the machine's
# packages, not on the demo.
use_sound_output null
: "${TEST_CLOCK:?}"
frames_before_escape=3
clock_step=9   # seconds per pass: 13 frames, every scene and the black seconds at 9 and 45 included
startup_limit=600

memcheck=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
  --show-leak-kinds=definite --errors-for-leak-kinds=definite --keep-debuginfo=yes
  --num-callers=40 --gen-suppressions=all
  --suppressions="$(cd "$(dirname "$0")/../sanitizer" && pwd)/valgrind.supp")
# llvmpipe draws on the calling thread: far fewer threads for valgrind to run one at a time.
export LP_NUM_THREADS=0

summary() { grep -E 'ERROR SUMMARY|definitely lost|indirectly lost' "$1" | sed 's/^==[0-9]*== *//'; }
swaps() { grep -c glfwSwapBuffers "$trace" || true; }

# Whether the demo has drawn the frames it gets before Escape, or has ended.
drawn_or_ended() { (($(swaps) >= frames_before_escape)) || ! kill -0 "$demo_pid" 2>/dev/null; }

escape_run() {
  DEMO_PREFIX="${memcheck[*]} --log-file=$work/escape.log" start_demo
  poll "$startup_limit" drawn_or_ended && kill -0 "$demo_pid" 2>/dev/null || fail "no $frames_before_escape frames before Escape"
  # Held until the loop has seen it: a pass takes seconds here, longer than a tap.
  demo_window >/dev/null
  xdotool keydown Escape
  wait_for_trace 'glfwSetWindowShouldClose 1' "$startup_limit"
  xdotool keyup Escape
  finish_demo
  [ "$status" = 0 ] || { cat "$work/escape.log" >&2; fail "memcheck, Escape after $frames_before_escape frames: status $status"; }
  echo "Escape after $frames_before_escape frames:"; summary "$work/escape.log"
}

schedule_run() {
  LD_PRELOAD=$TEST_CLOCK GLFW_CLOCK_STEP=$clock_step \
    DEMO_PREFIX="${memcheck[*]} --log-file=$work/schedule.log" start_demo
  finish_demo
  [ "$status" = 0 ] || { cat "$work/schedule.log" >&2; fail "memcheck, whole schedule: status $status"; }
  expect_whole_schedule
  echo "whole schedule, $(swaps) frames:"; summary "$work/schedule.log"
}

for run in ${@:-escape schedule}; do
  "${run}_run"
done
