# The whole schedule with the clock sped up: the demo runs to the end by itself and exits 0
# after about 109/speed real seconds, from the first pass whose time is past 109, without
# presenting that pass.
source "$(dirname "$0")/lib.sh"
speed=20
start_screen
DEMO_PREFIX="faketime -f +0,0y_x${speed}" start_demo
finish_demo
expect_eq "$status" 0 "exit status"
expect_eq "$(wc -c <"$work/stdout")" 0 "nothing printed"

last_time=$(grep -o 'glfwGetTime -> .*' "$trace" | tail -n 1 | awk '{print $3}')
awk -v t="$last_time" 'BEGIN { exit !(t > 109) }' || fail "the last pass read $last_time"
expect_eq "$(calls | tail -n 1)" glfwGetTime "nothing after the last pass's clock reading"
grep -q glfwTerminate "$trace" && fail "the time-out does not take the close path"

# Every earlier pass was presented, the one at 109 included when the clock landed on it.
awk '$2 == "glfwGetTime" && $4 <= 109 {n++} $2 == "glfwSwapBuffers" {s++} END {exit !(n == s)}' \
  "$trace" || fail "every pass up to 109 s presented its frame"

real=$(awk 'NR == 1 {first = $1} {last = $1} END {printf "%.1f", last - first}' "$trace")
awk -v r="$real" -v s="$speed" 'BEGIN { exit !(r > 100 / s && r < 140 / s) }' \
  || fail "took $real s at ${speed}x"
echo "full schedule at ${speed}x: ended after $real s, last clock reading $last_time"
