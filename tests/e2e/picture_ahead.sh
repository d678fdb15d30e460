# The picture is decoded on a thread of its own from before main, yet reported at its own step
# of start-up. With a broken picture, a start-up that ends before that step (no display, no GL
# functions) prints only its own message and ends with status -1 (255) before the frame loop,
# arguments or not; one that goes on reports the picture and leaves no thread of start-up's
# once the first frame is out.
source "$(dirname "$0")/lib.sh"
picture=$(data_entry picture)
decoder_thread=picture
folder=${picture%%/*}
rm "$run_dir/$folder" && cp -rL "$DEMO_DATA/$folder" "$run_dir/$folder"
head -c 4096 "$DEMO_DATA/$picture" >"$run_dir/$picture"

(cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY "$DEMO" --fullscreen -x 1 >"$work/stdout" 2>"$work/stderr") && status=0 || status=$?
expect_eq "$status" 255 "no display: exit status"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "Failed to create GLFW window" "no display: output"

GLFW_TRACE_NO_GL=1 start_demo extra
finish_demo
expect_eq "$status" 255 "no GL functions: exit status"
expect_eq "$(cat "$work/stdout" "$work/stderr")" "Failed to initialize GLAD" "no GL functions: output"
! grep -q glfwWindowShouldClose "$trace" || fail "no GL functions: the frame loop started"

use_sound_output
start_demo
wait_for_trace glfwSwapBuffers
left=$(grep -lx "$decoder_thread" /proc/"$demo_pid"/task/*/comm 2>/dev/null || true)
[ -z "$left" ] || fail "the decoding thread is still there after the first frame"
escape_and_check "a broken picture" "Texture failed to load at path: $picture"
echo "broken picture: only the start-up failures' own messages; reported at its step; no decoding thread after start-up"
