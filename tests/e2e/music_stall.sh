# A music thread held up longer than its queue lasts (one of its waits stretched to two seconds
# by music_stall.c) comes back by itself. OpenAL Soft's wave capture holds, after the leading
# silence, the tune from its start, one stretch of silence where the queue ran dry, then the
# tune on from the very frame where it stopped, sample-exact, for a second at least; Escape
# then ends the run with status 0 and nothing printed.
source "$(dirname "$0")/lib.sh"
: "${MUSIC_STALL:?}"
frames=9600  # 0.2 s, no whole number of the stream's 7680-frame buffers: a restart elsewhere shows
capture=$work/capture.wav
use_tune "$frames"
use_sound_output "$capture"
LD_PRELOAD=$MUSIC_STALL${LD_PRELOAD:+:$LD_PRELOAD} start_demo
wait_for_trace glfwSwapBuffers

# The lengths of the tune from its start, a silence, and the tune on from where it stopped;
# status 2 when the capture is anything else.
resumed_runs() {
  capture_runs "$capture" "$frames" | awk -v n="$frames" 'NR == 1 && $2 < 0 { next }
    ++k == 1 { played = $3; if ($2 != 0) exit 2; next }
    k == 2 { silent = $3; next }
    k == 3 { resumed = $3; if ($2 != played % n) exit 2; next }
    { exit 2 } END { print played + 0, silent + 0, resumed + 0 }'
}
# Watched as the capture grows: failed at the first wrong run, or once the silence outlasts
# the stall by a second (the queue played through part of it), done a second after the return.
played=0 silent=0 resumed=0
for ((step = 0; step < 400 && resumed < music_rate; step++)); do
  result=$(resumed_runs) || fail "not the tune, a silence and the tune on from where it stopped:" \
    "$(capture_runs "$capture" "$frames")"
  read -r played silent resumed <<<"$result"
  ((resumed > 0 || silent <= 3 * music_rate)) || fail "the music did not come back: $played frames" \
    "of the tune, then $silent frames of silence"
  kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while playing"
  ((resumed >= music_rate)) || sleep 0.05
done
((resumed >= music_rate)) || fail "not a second of the tune after the silence in time: $played frames" \
  "of it, then $silent of silence, then $resumed"
escape_and_check "after the stall"
echo "the tune played $played frames, fell silent for $silent and came back where it stopped" \
  "(checked for $resumed frames, sample-exact)"
