# The whole picture on screens that are not 1920x1080: on one of 1366x768 (16:9, without a
# 1080p mode) at a time held in scene 2, and on one of 1920x1200 (16:10) in scene 3, the demo's
# fullscreen window shows demo-snapshot's 1080p frame scaled to the screen, stretched a little
# on the 16:10 one, and not a corner of it.
SCREEN_SIZE=1366x768x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/psnr.sh"
: "${TEST_CLOCK:?}" "${SNAPSHOT:?}"
use_sound_output null
least_db=35  # rendered at the screen's size against the 1080p frame scaled: 45-55 dB; a corner: 17
for shot in 1366x768@20 1920x1200@70; do
  size=${shot%@*} t=${shot#*@}
  if [ "$size" != "${SCREEN_SIZE%x*}" ]; then
    kill "$xvfb_pid" && wait "$xvfb_pid" || true
    SCREEN_SIZE=${size}x24 start_screen
  fi
  (cd "$DEMO_DATA" && "$SNAPSHOT" "$t" "$work/snapshot.png") || fail "demo-snapshot $t"
  ffmpeg -v error -nostdin -y -i "$work/snapshot.png" -vf "scale=${size/x/:}:flags=area" "$work/expected.png"
  LD_PRELOAD=$TEST_CLOCK${LD_PRELOAD:+:$LD_PRELOAD} GLFW_CLOCK_AT=$t start_demo
  poll 60 eval '(($(grep -c glfwSwapBuffers "$trace") >= 3))' || fail "no third frame at $t s on $size"
  ffmpeg -v error -nostdin -y -f x11grab -draw_mouse 0 -video_size "$size" -i "$DISPLAY" -frames:v 1 "$work/screen.png"
  escape_and_check "$size at $t s"
  psnr_at_least "$work/screen.png" "$work/expected.png" "$least_db" "$size at $t s"
  echo "$size at $t s: $(psnr "$work/screen.png" "$work/expected.png") dB against the 1080p frame scaled"
done
