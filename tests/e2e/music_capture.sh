# What the demo plays, captured through OpenAL Soft's wave-file output: a short pattern in place
# of the tune must come out whole, back to back, sample-exact at every join, for several loops
# (the silence before the music starts and the cut at the end aside). Escape then ends the run
# at once, with status 0 and nothing printed by the demo or the sound library.
source "$(dirname "$0")/lib.sh"
frames=9600  # 0.2 s
loops=5
exit_limit_ms=2000
capture=$work/capture.wav
use_tune pattern "$frames"
use_sound_output "$capture"
start_screen
start_demo
wait_for_trace glfwSwapBuffers

# Watched as it grows: done at enough whole loops, failed at the first wrong frame.
seen=0
for ((step = 0; step < 600 && seen < loops; step++)); do
  check=0
  seen=$("$MUSIC_WAV_TOOL" loops "$capture" "$frames" 2>"$work/mismatch") || check=$?
  ((check == 0)) || fail "after $seen whole loops: $(cat "$work/mismatch")"
  kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while playing"
  ((seen >= loops)) || sleep 0.05
done
((seen >= loops)) || fail "only $seen whole loops captured in time"

escape_at=$(date +%s%N)
escape_and_check "Escape while playing"
exit_ms=$((($(date +%s%N) - escape_at) / 1000000))
((exit_ms < exit_limit_ms)) || fail "took $exit_ms ms to end after Escape"

# The device was stopped before the process ended (its file's header gives the real length),
# and the loops are whole in the finished file.
"$MUSIC_WAV_TOOL" complete "$capture" || fail "the capture's header was never completed"
final=$("$MUSIC_WAV_TOOL" loops "$capture" "$frames" 2>/dev/null) || true
((final >= loops)) || fail "$final whole loops in the finished capture"
echo "captured $final whole loops of $frames frames, sample-exact; ended $exit_ms ms after Escape"
