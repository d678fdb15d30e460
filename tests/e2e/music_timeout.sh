# The time-out with the music playing: the whole schedule, clock sped up, on a sound device. The
# process still ends by itself at once with status 0 and nothing printed (the streaming thread and
# the sound library's teardown neither hang nor crash, and the device is stopped first), and the
# music played from frame 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/music_lib.sh"
speed=20
frames=4800
use_tune pattern "$frames"
use_sound_output "$work/out.wav"
start_screen
DEMO_PREFIX="faketime -f +0,0y_x${speed}" start_demo
finish_demo
expect_eq "$status" 0 "exit status"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"
grep -q glfwTerminate "$trace" && fail "the time-out does not take the close path"
"$MUSIC_WAV_TOOL" complete "$work/out.wav" || fail "the device was not stopped before the end"
loops=$("$MUSIC_WAV_TOOL" loops "$work/out.wav" "$frames") || true
((loops >= 1)) || fail "no whole loop of the tune in the output"
real=$(awk 'NR == 1 {first = $1} {last = $1} END {printf "%.1f", last - first}' "$trace")
echo "time-out with music at ${speed}x: ended after $real s, $loops whole loops played"
