# Without any display the window cannot be made: one message and status -1 (255), with or
# without arguments.
source "$(dirname "$0")/lib.sh"
for args in "" "--fullscreen -x 1 extra"; do
  # shellcheck disable=SC2086
  (cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY "$DEMO" $args >"$work/stdout" 2>"$work/stderr") \
    && status=0 || status=$?
  expect_eq "$status" 255 "exit status with arguments '$args'"
  printf 'Failed to create GLFW window\n' | cmp -s - "$work/stdout" || fail "standard output"
  expect_eq "$(wc -c <"$work/stderr")" 0 "standard error stays empty"
done
echo "no display: message and status 255"
