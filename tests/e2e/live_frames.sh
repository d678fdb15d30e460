# demo-live shows the demo's own frames: started paused at 20 s, a window of half the show's
# size shows exactly demo-snapshot's frame at 20 s at that size (the 1080p frame scaled down);
# Space plays it on and a second Space stops it again, on another frame. A bad option is
# refused with a message and status 2, before any window.
SCREEN_SIZE=960x540x24
source "$(dirname "$0")/live_lib.sh"
copy_data

status=0
"$LIVE" --at 20 --speed 2 >"$work/stdout" 2>"$work/stderr" || status=$?
expect_eq "$status" 2 "exit status for a bad option"
grep -q "unknown option '--speed'" "$work/stderr" || fail "no message for a bad option: $(cat "$work/stderr")"

snapshot 20 "$work/at20.png"

start_live --at 20 --paused --no-hud
# A linear blit to half size and the snapshot's 2x2 averages differ by rounding at most.
wait_for_screen "$work/at20.png" 45 "the frame at 20 s"

xdotool key space
wait_for_change "$work/at20.png" 35 "playing on from 20 s"
xdotool key space
wait_for_still "$work/paused.png" "paused again"
psnr_above "$(psnr "$work/paused.png" "$work/at20.png")" 35 && fail "paused again on the frame at 20 s"
grep -q . "$work/stdout" "$work/stderr" && fail "printed: $(cat "$work/stdout" "$work/stderr")"
quit_live "after playing"
echo "live frames: the frame at 20 s as demo-snapshot makes it; Space, Space moved the time and stopped it"
