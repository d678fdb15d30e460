# The music through the whole show, captured by OpenAL Soft's wave-file output while every
# scene renders: the window library's timer runs ten times fast (test_clock.c) and the sound in
# real time, so the stream is fed at its own rate through the rendering load of the whole
# schedule in a tenth of its time. After the silence before the music starts, the capture is
# the tune loop after loop, sample-exact, up to the stop at the end: the queue never ran dry.
# The run ends by itself with status 0 and nothing printed. A machine that stopped the music
# thread for longer than the queue lasts (music_waits.c watches) allows no verdict: skipped.
source "$(dirname "$0")/lib.sh"
: "${TEST_CLOCK:?}" "${MUSIC_WAITS:?}"
speed=10
frames=4800       # 0.1 s
tail_limit=4800   # the end, where the stream's stop fades the music out
cover_ms=600      # what the stream's queue covers: the 640 ms it holds (music.cpp) less a wait
least_frames=$((5 * music_rate))  # half the run at least, however long start-up took
capture=$work/capture.wav
echo 0 >"$work/waits"
use_tune pattern "$frames"
use_sound_output "$capture"
LD_PRELOAD=$TEST_CLOCK:$MUSIC_WAITS${LD_PRELOAD:+:$LD_PRELOAD} MUSIC_WAITS_FILE=$work/waits \
  DEMO_PREFIX="env GLFW_CLOCK_SPEED=$speed" start_demo
finish_demo
expect_whole_schedule
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"
"$MUSIC_WAV_TOOL" complete "$capture" || fail "the device was not stopped before the end"

check=0
played=$("$MUSIC_WAV_TOOL" unbroken "$capture" "$frames" "$tail_limit" 2>"$work/mismatch") || check=$?
held=$(cat "$work/waits")
if ((check != 0 && held > cover_ms)); then
  echo "SKIPPED: the machine held the music thread up for $held ms, longer than its queue covers"
  exit 77
fi
((check == 0)) || fail "the music broke off before the end, the thread held up $held ms at most:" \
  "$(cat "$work/mismatch")"
real=$(awk 'NR == 1 {first = $1} {last = $1} END {print last - first}' "$trace")
((played >= least_frames)) || fail "only $played frames of music in a $real s run"
echo "the whole show at ${speed}x in $real s: $played frames of music without a gap (the music" \
  "thread held up $held ms at most)"
