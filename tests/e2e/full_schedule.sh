# The whole schedule with the clock sped up and music playing on a sound device: the demo runs
# to the end by itself and exits 0 after about 109/speed real seconds, from the first pass
# whose time is past 109, without presenting that pass. Nothing is printed (the streaming
# thread and the sound library's teardown neither hang nor crash), the device was stopped
# before the end, and the music played from frame 0.
source "$(dirname "$0")/lib.sh"
speed=20
frames=4800
use_tune pattern "$frames"
use_sound_output "$work/out.wav"
DEMO_PREFIX="$(sped_up "$speed")" start_demo
finish_demo
expect_whole_schedule
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"
expect_eq "$(calls | tail -n 1)" glfwGetTime "nothing after the last pass's clock reading"

# Every earlier pass was presented, the one at 109 included when the clock landed on it.
awk '$2 == "glfwGetTime" && $4 <= 109 {n++} $2 == "glfwSwapBuffers" {s++} END {exit !(n == s)}' \
  "$trace" || fail "every pass up to 109 s presented its frame"
real=$(awk 'NR == 1 {first = $1} {last = $1} END {printf "%.1f", last - first}' "$trace")
awk -v r="$real" -v s="$speed" 'BEGIN { exit !(r > 100 / s && r < 200 / s) }' \
  || fail "took $real s at ${speed}x"

"$MUSIC_WAV_TOOL" complete "$work/out.wav" || fail "the device was not stopped before the end"
played=$("$MUSIC_WAV_TOOL" matched "$work/out.wav" "$frames") || true
((played >= frames)) || fail "no whole loop of the tune in the output"
echo "full schedule at ${speed}x: ended after $real s, $((played / frames)) whole loops of music played"
