# The whole schedule with the clock sped up and music playing on a sound device: the demo runs
# to the end by itself and exits 0 after about 109/speed real seconds, from the first pass
# whose time is past 109, without presenting that pass. Nothing is printed (the streaming
# thread and the sound library's teardown neither hang nor crash; in the sanitized suite no
# leak and no other report either), the device was stopped before the end, and the music played
# from frame 0. Resident memory stays flat through each scene once its program has warmed up,
# and from the first scene to the last.
source "$(dirname "$0")/lib.sh"
speed=10
frames=4800
scene_margin_kb=2048   # within one scene, warmed up
show_margin_kb=16384   # first scene to last: two more programs' first draws

# Pairs of demo times, in seconds: each scene a little after its program's first draw, and
# late in it. The last is 9 s (0.9 s of real time) before the end: on a busy machine one frame
# of scene 3 took over 0.4 s, and from 105 s the demo ended before the memory was read.
marks=(3 8 13 44 50 100)

# The demo's own process: faketime runs it as a child.
demo_process() {
  local pid=$demo_pid child
  while [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$(readlink -f "$DEMO")" ]; do
    child=$(cat /proc/"$pid"/task/*/children 2>/dev/null | awk '{print $1; exit}')
    [ -n "$child" ] || return 1
    pid=$child
  done
  echo "$pid"
}

# AddressSanitizer holds freed blocks back for a while to catch late uses, which would read as
# growth here; in this run it reuses them at once (its leak check at exit stays on).
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0

use_tune "$frames"
use_sound_output "$work/out.wav"
DEMO_PREFIX="$(sped_up "$speed")" start_demo
wait_for_trace 'glfwGetTime'
pid=$(demo_process) || fail "no demo process"
rss=()
for mark in "${marks[@]}"; do
  until awk -v t="$(last_time)" -v m="$mark" 'BEGIN { exit !(t >= m) }'; do
    kill -0 "$pid" 2>/dev/null || fail "the demo ended before $mark s"
    sleep 0.02
  done
  rss+=("$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)")
  [ -n "${rss[-1]}" ] || fail "the demo ended at $mark s"
done
finish_demo
expect_whole_schedule "$speed"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"

# Every earlier pass was presented, the one at 109 included when the clock landed on it.
awk '$2 == "glfwGetTime" && $4 <= 109 {n++} $2 == "glfwSwapBuffers" {s++} END {exit !(n == s)}' \
  "$trace" || fail "every pass up to 109 s presented its frame"

"$MUSIC_WAV_TOOL" complete "$work/out.wav" || fail "the device was not stopped before the end"
played=$(played_from_start "$work/out.wav" "$frames")
((played >= frames)) || fail "no whole loop of the tune in the output"

echo "resident kB at ${marks[*]} s: ${rss[*]}"
for scene in 0 1 2; do
  warm=${rss[$((2 * scene))]} end=${rss[$((2 * scene + 1))]}
  ((end <= warm + scene_margin_kb)) || fail "scene $((scene + 1)) grew from $warm kB to $end kB"
done
((rss[5] <= rss[0] + show_margin_kb)) || fail "the show grew from ${rss[0]} kB to ${rss[5]} kB"
echo "full schedule at ${speed}x: ended after $real s, $((played / frames)) whole loops of music played, memory flat"
