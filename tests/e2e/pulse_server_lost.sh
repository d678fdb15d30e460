# The whole show, sped up, with its sound server killed a few seconds in: the show runs on time
# to its end by itself in silence, exits within a second of its last pass (nothing keeps it
# waiting on the sound) with status 0, and prints nothing: not the sound library, nor the
# server's client library, nor the other outputs tried in its place.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
speed=10
use_tune 9600
start_server
use_sound_output pulse
DEMO_PREFIX="$(sped_up "$speed")" start_demo
wait_for_stream
stop_server KILL
poll 30 eval 'awk -v t="$(last_time)" "BEGIN { exit !(t > 109) }" || ! kill -0 "$demo_pid" 2>/dev/null'
last_pass_seen=$(date +%s%N)
finish_demo_within 1 "the demo still runs a second after its last pass"
exit_ms=$((($(date +%s%N) - last_pass_seen) / 1000000))
expect_whole_schedule "$speed"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed"
echo "the server killed mid-show: the show ran $real s at ${speed}x and ended $exit_ms ms after its last pass"
