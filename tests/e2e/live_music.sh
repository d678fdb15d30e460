# demo-live's music in OpenAL Soft's wave-file output, with a pattern in place of the tune
# whose every frame is distinct, so each stretch played shows where in the tune it started:
# started paused at 20 s it is silent; Space plays from 20 s; key 2 seeks to scene 2 at 10 s and
# key 3 to scene 3 at 46 s, past the tune's end; a pause is heard as silence; a loop of 0 to 1 s
# jumps back to 0. Each stretch starts exactly at the tune's frame for its time (the frame
# demo-capture cuts there), and the tune wraps seamlessly at its end within a stretch.
SCREEN_SIZE=1280x720x24
source "$(dirname "$0")/live_lib.sh"
copy_data
frames=29999  # under the pattern's 32767 distinct frames, and no divisor of a second's
capture=$work/capture.wav
use_sound_output "$capture"
use_tune pattern "$frames"
tune_frame() { awk -v s="$1" -v r="$music_rate" -v n="$frames" 'BEGIN { printf "%d", int(s * r + 0.5) % n }'; }

# The stretches of the pattern played so far, by the frame each started at; the last one has
# played for at least a tenth of a second.
played() { "$MUSIC_WAV_TOOL" runs "$capture" "$frames" | awk '$1 == "play" { print $2 }'; }
wait_for_plays() {
  local deadline=$((SECONDS + poll_limit)) runs
  while ((SECONDS < deadline)); do
    alive "waiting for $1 stretches of the tune"
    runs=$("$MUSIC_WAV_TOOL" runs "$capture" "$frames" 2>"$work/mismatch") || fail "$(cat "$work/mismatch")"
    (($(grep -c '^play' <<<"$runs") >= $1)) && [[ $(tail -n 1 <<<"$runs") =~ ^play\ [0-9]+\ ([0-9]+)$ ]] &&
      ((BASH_REMATCH[1] >= music_rate / 10)) && return 0
    sleep 0.05
  done
  fail "fewer than $1 stretches of the tune played: $(played | tr '\n' ' ')"
}
# Polls until the capture ends with a silence of $1 frames at least.
wait_for_silence() {
  local deadline=$((SECONDS + poll_limit))
  while ((SECONDS < deadline)); do
    alive "waiting for silence"
    [[ $("$MUSIC_WAV_TOOL" runs "$capture" "$frames" | tail -n 1) =~ ^silence\ ([0-9]+)$ ]] &&
      ((BASH_REMATCH[1] >= $1)) && return 0
    sleep 0.05
  done
  fail "no silence of $1 frames after a pause"
}

# A preview a quarter of the size keeps the frames quick, so keys are taken at once.
start_live --at 20 --paused --no-hud --preview-scale 0.25
xdotool key space
wait_for_plays 1
xdotool key 2
wait_for_plays 2
xdotool key 3
wait_for_plays 3
xdotool key space
wait_for_silence "$music_rate"
xdotool key Home i Right o l Home space
wait_for_plays 5

expected="$(tune_frame 20) $(tune_frame 10) $(tune_frame 46) 0 0"
got=$(played | head -n 5 | tr '\n' ' ')
[ "$got" = "$expected " ] || fail "the stretches of the tune started at $got, not at $expected:
$("$MUSIC_WAV_TOOL" runs "$capture" "$frames")"
# The loop's first pass lasts its second, give or take the frames that draw across its end.
first_pass=$("$MUSIC_WAV_TOOL" runs "$capture" "$frames" | awk '$1 == "play" && ++n == 4 { print $3 }')
((first_pass > music_rate * 9 / 10 && first_pass < music_rate * 3 / 2)) ||
  fail "the loop of 0 to 1 s played $first_pass frames before its jump"
quit_live "after the music"
echo "live music: stretches from $expected, a pause heard as silence, a 1 s loop of $first_pass frames"
