# The desktop's video mode given back on every end: on a real X server that switches modes (Xorg's
# dummy driver at 1920x1200, which also offers 1920x1080), the demo's fullscreen window takes
# 1920x1080, and after the show's natural end, after Escape and after SIGTERM (as after Ctrl-C)
# the screen is at 1920x1200 again; each end with status 0 and nothing printed, SIGTERM's by the
# close path.
XORG_CONF=$(cd "$(dirname "$0")" && pwd)/xorg-dummy.conf
source "$(dirname "$0")/lib.sh"
use_sound_output null
mode() { xrandr | awk '$2 ~ /\*/ { print $1 }'; }
expect_eq "$(mode)" 1920x1200 "the desktop's mode"
for end in natural Escape SIGTERM; do
  if [ $end = natural ]; then DEMO_PREFIX="$(sped_up 20)" start_demo; else start_demo; fi
  wait_for_trace glfwSwapBuffers
  expect_eq "$(mode)" 1920x1080 "the demo's mode ($end)"
  case $end in
    Escape) demo_window >/dev/null && xdotool key Escape ;;
    SIGTERM) kill -TERM "$demo_pid" ;;
  esac
  finish_demo
  expect_eq "$status" 0 "exit status ($end)"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "what was printed ($end)"
  [ $end != SIGTERM ] || expect_eq "$(calls | tail -n 3 | xargs)" \
    "glfwPollEvents glfwWindowShouldClose glfwTerminate" "the close path after SIGTERM"
  expect_eq "$(mode)" 1920x1200 "the desktop's mode after the $end end"
done
echo "the desktop back at 1920x1200 after the natural end, Escape and SIGTERM"
