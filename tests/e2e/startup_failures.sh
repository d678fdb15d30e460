# The two ways start-up fails: without any display the window cannot be made, and with a
# driver whose function lookups find nothing the GL loader fails. Each prints its one message
# and ends with status -1 (255) before the frame loop, with or without arguments.
source "$(dirname "$0")/lib.sh"
for args in "" "--fullscreen -x 1 extra"; do
  # shellcheck disable=SC2086
  (cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY "$DEMO" $args >"$work/stdout" 2>"$work/stderr") \
    && status=0 || status=$?
  expect_eq "$status" 255 "no display: exit status with arguments '$args'"
  printf 'Failed to create GLFW window\n' | cmp -s - "$work/stdout" || fail "no display: standard output"
  expect_eq "$(wc -c <"$work/stderr")" 0 "no display: standard error stays empty"
done

GLFW_TRACE_NO_GL=1 start_demo extra
finish_demo
expect_eq "$status" 255 "no GL functions: exit status"
printf 'Failed to initialize GLAD\n' | cmp -s - "$work/stdout" || fail "no GL functions: standard output"
grep -q glfwWindowShouldClose "$trace" && fail "no GL functions: the frame loop never starts"
echo "no display, no GL functions: one message each and status 255"
