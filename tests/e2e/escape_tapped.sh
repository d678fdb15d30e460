# Escape tapped (pressed and released in well under a millisecond, between two reads of the
# key): the press is kept until the loop reads it, so the demo still ends with status 0.
source "$(dirname "$0")/lib.sh"
start_screen
start_demo
wait_for_trace glfwSwapBuffers
demo_window >/dev/null
xdotool keydown --delay 0 Escape keyup --delay 0 Escape
wait_for_trace 'glfwTerminate' 10
finish_demo
expect_eq "$status" 0 "exit status"
grep -q 'glfwGetKey 256 -> 1' "$trace" || fail "the tap was read"
echo "Escape tapped: status 0"
