# Escape held down: the pass that sees it is still drawn and presented, then the close path
# runs and the status is 0. Arguments are ignored. Also checks the start-up order.
source "$(dirname "$0")/lib.sh"
start_screen
start_demo --windowed --time 50 extra
wait_for_trace glfwSwapBuffers
demo_window >/dev/null
xdotool keydown Escape
finish_demo
xdotool keyup Escape
expect_eq "$status" 0 "exit status"
expect_eq "$(wc -c <"$work/stdout")" 0 "nothing printed"

# Start-up: the six hints in order, the fullscreen window, then the context and input set-up.
expect_eq "$(calls | awk '!/glfwGetProcAddress/' | head -n 11 | tr '\n' ' ')" \
  "glfwInit glfwWindowHint glfwWindowHint glfwWindowHint glfwWindowHint glfwWindowHint glfwWindowHint glfwCreateWindow glfwMakeContextCurrent glfwSetFramebufferSizeCallback glfwSetInputMode " \
  "start-up order"
expect_eq "$(grep -o 'glfwWindowHint.*' "$trace" | tr '\n' ' ')" \
  "glfwWindowHint 0x22002 3 glfwWindowHint 0x22003 3 glfwWindowHint 0x22008 204801 glfwWindowHint 0x20008 1 glfwWindowHint 0x2100f 60 glfwWindowHint 0x20005 0 " \
  "window hints"
grep -q 'glfwCreateWindow 1920 1080 "" monitor null -> window' "$trace" || fail "fullscreen 1920x1080 window"
expect_eq "$(grep -o 'glfwSetInputMode.*' "$trace" | tr '\n' ' ')" \
  "glfwSetInputMode 0x33001 0x34003 glfwSetInputMode 0x33002 0x1 " "cursor disabled, then sticky keys"

# The end: the pass that read Escape set the flag, presented its frame, then closed.
last_pass=$(awk '/glfwGetKey 256 -> 1/ {seen=1} seen {print $2}' "$trace" | tr '\n' ' ')
expect_eq "$last_pass" \
  "glfwGetKey glfwSetWindowShouldClose glfwGetTime glfwSwapBuffers glfwPollEvents glfwWindowShouldClose glfwTerminate " \
  "the last pass"
grep -q 'glfwWindowShouldClose -> 1' "$trace" || fail "close flag seen at the end of the pass"
echo "Escape held: last pass presented, status 0"
