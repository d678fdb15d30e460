# The music through the whole show, captured by OpenAL Soft's wave-file output while every
# scene renders: the window library's timer runs ten times fast (test_clock.c) and the sound in
# real time, so the stream is fed at its own rate through the rendering load of the whole
# schedule in a tenth of its time. After the silence before the music starts, the capture is
# the tune loop after loop, sample-exact, up to the stop at the end: the queue never ran dry.
# The run ends by itself with status 0 and nothing printed.
source "$(dirname "$0")/lib.sh"
: "${TEST_CLOCK:?}"
speed=10
frames=4800       # 0.1 s
tail_limit=4800   # silence allowed between the stream's stop and the device's pause at exit
capture=$work/capture.wav
use_tune pattern "$frames"
use_sound_output "$capture"
LD_PRELOAD=$TEST_CLOCK${LD_PRELOAD:+:$LD_PRELOAD} DEMO_PREFIX="env GLFW_CLOCK_SPEED=$speed" start_demo
finish_demo
expect_whole_schedule
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"
"$MUSIC_WAV_TOOL" complete "$capture" || fail "the device was not stopped before the end"

check=0
result=$("$MUSIC_WAV_TOOL" resumed "$capture" "$frames" 2>"$work/mismatch") || check=$?
read -r played silent resumed <<<"$result"
((check == 0)) || fail "a wrong frame in the capture: $(cat "$work/mismatch")"
((resumed == 0)) || fail "the music stopped for $silent frames after $played, then went on: an underrun"
((silent <= tail_limit)) || fail "$silent frames of silence at the end"
real=$(awk 'NR == 1 {first = $1} {last = $1} END {print last - first}' "$trace")
awk -v p="$played" -v r="$real" -v rate="$music_rate" 'BEGIN { exit !(p >= (r - 2) * rate) }' \
  || fail "only $played frames of music in a $real s run"
echo "the whole show at ${speed}x in $real s: $played frames of music without a gap, then $silent of silence"
