# No picture: exactly one line names it, and the show still runs to its end with status 0.
source "$(dirname "$0")/lib.sh"
rm "$run_dir/imgs"
mkdir "$run_dir/imgs"
start_screen
DEMO_PREFIX="faketime -f +0,0y_x20" start_demo
finish_demo
expect_whole_schedule
printf 'Texture failed to load at path: imgs/officialmolvanian2.png\n' | cmp -s - "$work/stdout" \
  || fail "standard output"
echo "missing picture: one line, whole schedule, status 0"
