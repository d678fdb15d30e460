# What the demo plays, captured through OpenAL Soft's wave-file output. A short counter tune
# comes out whole, back to back, sample-exact at every join, for several
# loops (the silence before the music starts and the cut at the end aside); Escape then ends
# the run at once, with status 0 and nothing printed by the demo or the sound library. And
# the music streams: with a 10-minute tune the demo's peak resident size, read once two
# seconds of sound have come out, exceeds that with the short one by a few MB at most
# (decoding it whole would take some 230 MB).
source "$(dirname "$0")/lib.sh"
frames=9600  # 0.2 s
two_seconds=$((2 * music_rate))
capture=$work/capture.wav

# Plays a tune of $1 frames until two seconds of it have come out, watched as the capture
# grows and failed at the first wrong frame; then sets peak to the demo's peak size in kB.
play_two_seconds() {
  use_tune "$1"
  rm -f "$capture"
  use_sound_output "$capture"
  start_demo
  wait_for_trace glfwSwapBuffers
  local step matched=0
  for ((step = 0; step < 600 && matched < two_seconds; step++)); do
    matched=$(played_from_start "$capture" "$1")
    kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while playing"
    ((matched >= two_seconds)) || sleep 0.05
  done
  ((matched >= two_seconds)) || fail "only $matched frames of a $1-frame tune captured in time"
  peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$demo_pid/status")
}

play_two_seconds $((600 * music_rate))
long=$peak
escape_and_check "10-minute tune"

play_two_seconds "$frames"
escape_at=$(date +%s%N)
escape_and_check "Escape while playing"
exit_ms=$((($(date +%s%N) - escape_at) / 1000000))
((exit_ms < 2000)) || fail "took $exit_ms ms to end after Escape"
((long <= peak + 4096)) || fail "peak RSS $long kB with a 10-minute tune, $peak kB with a short one"

# The device was stopped before the process ended (its file's header gives the real length).
"$MUSIC_WAV_TOOL" complete "$capture" || fail "the capture's header was never completed"
echo "two seconds of a $frames-frame tune captured sample-exact; ended $exit_ms ms after Escape;" \
  "peak RSS $long kB with a 10-minute tune, $peak kB with a 0.2-second one"
