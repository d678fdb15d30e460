# A close request from the desktop (WM_DELETE_WINDOW) ends the demo like Escape: the pass
# completes, the close path runs and the status is 0.
source "$(dirname "$0")/lib.sh"
: "${SEND_CLOSE_REQUEST:?}"
start_screen
start_demo
wait_for_trace glfwSwapBuffers
"$SEND_CLOSE_REQUEST" "$(demo_window)"
finish_demo
expect_eq "$status" 0 "exit status"
expect_eq "$(calls | tail -n 4 | tr '\n' ' ')" \
  "glfwSwapBuffers glfwPollEvents glfwWindowShouldClose glfwTerminate " "the close path"
grep -q 'glfwGetKey 256 -> 1' "$trace" && fail "no Escape was pressed"
echo "close request: status 0"
