# demo-live's music in OpenAL Soft's wave-file output, with a counter in place of the tune
# whose every frame names its place, so each stretch played shows where in the tune it started:
# started paused at 20 s it is silent; Space plays from 20 s; key 2 seeks to scene 2 at 10 s and
# key 3 to scene 3 at 46 s, past the tune's end; a pause is heard as silence; a loop of 0 to 1 s
# jumps back to 0, and goes on looping after a broken save of the tune. Each stretch starts
# exactly at the tune's frame for its time (the frame demo-capture cuts there), and the tune
# wraps seamlessly at its end within a stretch.
SCREEN_SIZE=1280x720x24
source "$(dirname "$0")/live_lib.sh"
copy_data
frames=29999  # no divisor of a second's
capture=$work/capture.wav
use_sound_output "$capture"
use_tune "$frames"
tune_frame() { awk -v s="$1" -v r="$music_rate" -v n="$frames" 'BEGIN { printf "%d", int(s * r + 0.5) % n }'; }

# The capture as runs of the tune and of silence (capture_runs: "AT FIRST LENGTH", FIRST -1
# for silence), kept in the runs file by the waits.
runs() { capture_runs "$capture" "$frames"; }
# The frame each stretch of the tune played so far started at.
played() { runs | awk '$2 >= 0 { print $2 }'; }
plays_so_far() { awk '$2 >= 0' "$work/runs" | wc -l; }
# Whether $1 stretches have played, the last for a tenth of a second at least.
plays() { runs >"$work/runs"; (($(plays_so_far) >= $1)) && tail -n 1 "$work/runs" | awk -v n="$((music_rate / 10))" '{ exit !($2 >= 0 && $3 >= n) }'; }
# Whether the capture ends in a second's silence at least.
silent() { runs >"$work/runs"; tail -n 1 "$work/runs" | awk -v n="$music_rate" '{ exit !($2 < 0 && $3 >= n) }'; }
wait_for_plays() { poll_until "$1 stretches of the tune" plays "$1"; }

# A preview a quarter of the size keeps the frames quick, so keys are taken at once.
start_live --at 20 --paused --no-hud --preview-scale 0.25
xdotool key space
wait_for_plays 1
xdotool key 2
wait_for_plays 2
xdotool key 3
wait_for_plays 3
xdotool key space
poll_until "a second's silence after the pause" silent
xdotool key Home i Right o l Home space
wait_for_plays 5
printf 'RIFF....WAVEjunk' >"$run_dir/$tune_file"
wait_for_output "^demo-live: $tune_file: the tune keeps its last good one"
grep -qF "$tune_file: not a WAV the demo plays" "$work/stdout" || fail "the broken tune's problem is not told"
runs >"$work/runs"
poll_until "the loop going on after a broken tune" plays "$(($(plays_so_far) + 1))"

expected="$(tune_frame 20) $(tune_frame 10) $(tune_frame 46) 0 0"
got=$(played | head -n 5 | tr '\n' ' ')
[ "$got" = "$expected " ] || fail "the stretches of the tune started at $got, not at $expected:
$(runs)"
# The loop's first pass lasts its second, give or take the frames that draw across its end.
first_pass=$(runs | awk '$2 >= 0 && ++n == 4 { print $3 }')
((first_pass > music_rate * 9 / 10 && first_pass < music_rate * 3 / 2)) ||
  fail "the loop of 0 to 1 s played $first_pass frames before its jump"
quit_live "after the music"
echo "live music: stretches from $expected, a pause heard as silence, a 1 s loop of $first_pass frames"
