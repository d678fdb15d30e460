# The music through a real sound server, as a desktop user hears it: a short counter tune
# recorded from the server's sink is the tune. Every frame recorded is silence or the tune at
# its own level; the first sound is its first frame; after any silence (the server found the
# stream's buffer empty, which drops sound but keeps time) it goes on at the very frame that
# playing on would have reached, so the stream keeps the file's rate to the sample; and at
# least three whole loops come back to back, every join sample-exact. Escape then ends the run
# at once, with status 0 and nothing printed. Run through PulseAudio, and through PipeWire's
# server as e2e.pipewire_music.
SCREEN_SIZE=640x360x24  # the picture's not under test: less of the machine spent drawing it
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
frames=9600  # 0.2 s
capture=$work/capture.f32
start_server
play_recorded "$frames" "$capture"
wait_for_music "$capture" "$frames" $((10 * frames))
escape_at=$(date +%s%N)
escape_and_check "Escape while playing"
exit_ms=$((($(date +%s%N) - escape_at) / 1000000))
((exit_ms < 2000)) || fail "took $exit_ms ms to end after Escape"
stop_recording

tune_runs "$capture" "$frames" >"$work/runs"
first=$(awk 'NR == 1 { print $2 }' "$work/runs")
expect_eq "$first" 0 "the tune frame the music began with"
expect_time_kept "$work/runs" "$frames"
longest=$(awk '$3 > n { n = $3 } END { print n }' "$work/runs")
((longest >= 3 * frames)) || fail "no three whole loops back to back: at most $longest frames"
echo "$(awk '{ n += $3 } END { print n }' "$work/runs") frames of the tune through the sound server, at" \
  "most $((longest / frames)) whole loops back to back, $(($(wc -l <"$work/runs") - 1)) silences" \
  "(each keeping time); ended $exit_ms ms after Escape"
