# The ways a user ends the demo: Escape tapped (pressed and released in well under a
# millisecond, between two reads of the key: the press is kept until the loop reads it) and a
# close request from the desktop (WM_DELETE_WINDOW; Xvfb runs no window manager to send it).
# Each time the pass that sees it is still drawn and presented, then the close path runs,
# nothing is printed and the status is 0. Arguments are ignored. Each run also checks the
# start-up order and the fullscreen window.
source "$(dirname "$0")/lib.sh"
: "${SEND_CLOSE_REQUEST:?}"
for way in tapped close; do
  start_demo --windowed --time 50 extra
  wait_for_trace glfwSwapBuffers
  window=$(demo_window)
  case $way in
    tapped) xdotool keydown --delay 0 Escape keyup --delay 0 Escape ;;
    close) "$SEND_CLOSE_REQUEST" "$window" ;;
  esac
  wait_for_trace glfwTerminate 10
  finish_demo
  expect_eq "$status" 0 "exit status ($way)"
  expect_eq "$(wc -c <"$work/stdout")" 0 "nothing printed ($way)"

  # Start-up: the hints, the fullscreen window on the primary monitor, the context and input
  # set-up, then the GL functions looked up (each run of repeated calls counted once).
  expect_eq "$(calls | uniq | head -n 9 | xargs)" \
    "glfwInit glfwWindowHint glfwGetPrimaryMonitor glfwCreateWindow glfwMakeContextCurrent glfwSetFramebufferSizeCallback glfwSetInputMode glfwGetProcAddress glfwWindowShouldClose" \
    "start-up order"
  grep -q 'glfwCreateWindow 1920 1080 "" monitor null -> window' "$trace" || fail "fullscreen 1920x1080 window"

  # The end: only the last pass read Escape (none did for a close request), it set the flag,
  # presented its frame, and the close flag's test at the end of that pass took the close path.
  pressed=1 start="glfwGetKey glfwSetWindowShouldClose"
  [ $way != close ] || pressed=0 start="glfwWindowShouldClose glfwGetKey"
  expect_eq "$(grep -c 'glfwGetKey 256 -> 1' "$trace")" $pressed "passes that read Escape ($way)"
  expect_eq "$(calls | tail -n 7 | xargs)" \
    "$start glfwGetTime glfwSwapBuffers glfwPollEvents glfwWindowShouldClose glfwTerminate" "the last pass ($way)"
done
echo "Escape tapped, close request: last pass presented, status 0"
