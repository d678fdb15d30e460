# Shared steps for the tests of demo-live as its users run it: a virtual screen of its own
# (SCREEN_SIZE, set before sourcing), a working copy of the built data that a case edits (or
# the data laid out as the build does, with a stand-in for the repository),
# the studio started there in the background, the screen read back, and waits that poll the
# screen or the studio's output with a limit.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/psnr.sh"
: "${LIVE:?}" "${SNAPSHOT:?}" "${CMAKE:?}" "${SOURCE_DIR:?}"
screen_size=${SCREEN_SIZE%x*}
poll_limit=60  # seconds; a healthy run takes a fraction of it

# The data copied, not linked (-L: the build's newshaders/ is the repository's own folder): the
# cases edit them.
copy_data() {
  rm -rf "${run_dir:?}"/*
  local item
  for item in $(data_files | cut -d/ -f1 | sort -u); do
    cp -rL "$DEMO_DATA/$item" "$run_dir/"
  done
}

# The data laid out as the build lays them out, with $repo standing in for the repository: the
# shaders a link to the repository's folder, made by the build's own step, the picture and the
# tune copies of the built ones.
repo=$work/repo
lay_out_as_built() {
  rm -rf "${run_dir:?}"/* "$repo"
  mkdir "$repo"
  local item
  for item in $(data_files | cut -d/ -f1 | sort -u); do
    if [ "$item" = newshaders ]; then cp -rL "$DEMO_DATA/$item" "$repo/"; else cp -rL "$DEMO_DATA/$item" "$run_dir/"; fi
  done
  build_shaders_link
}
build_shaders_link() {
  "$CMAKE" -DSOURCE="$repo" -DBINARY="$run_dir" -P "$SOURCE_DIR/cmake/LinkShaders.cmake" || fail "the build's data step"
}

# Starts demo-live in the copy, filling the screen, with the given options, and waits until its
# window is mapped: a key sent before that goes to the root window and is lost (the studio
# takes the keys that queue up while it loads).
start_live() {
  (cd "$run_dir" && exec "$LIVE" --fullscreen "$@" >"$work/stdout" 2>"$work/stderr") &
  demo_pid=$!
  xdotool search --sync --onlyvisible --classname demo-live >/dev/null
}

# The show at time $1 as demo-snapshot renders it from the copy as it is now, scaled to the
# screen as the studio scales its 1920x1080 picture, into $2.
snapshot() {
  (cd "$run_dir" && "$SNAPSHOT" "$1" "$work/snapshot-full.png") || fail "demo-snapshot $1 failed"
  ffmpeg -v error -nostdin -y -i "$work/snapshot-full.png" -vf "scale=${screen_size/x/:}:flags=area" "$2"
}

# What the screen shows now, into $1.
grab() {
  ffmpeg -v error -nostdin -y -f x11grab -draw_mouse 0 -video_size "$screen_size" -i "$DISPLAY" \
    -frames:v 1 "$1"
}

alive() {
  kill -0 "$demo_pid" 2>/dev/null || fail "demo-live ended: $1"
}

# The command given after $1, with the studio still running (else fails naming $1, what is
# waited for).
running() {
  alive "waiting for $1"
  shift
  "$@"
}
# Polls until the command succeeds, for poll_limit seconds at most, with the studio running.
poll_until() { poll "$poll_limit" running "$@" || fail "timed out waiting for $1"; }

# Whether the screen scores at least $2 dB against picture $1.
screen_scores() {
  grab "$work/screen.png"
  score=$(psnr "$work/screen.png" "$1")
  psnr_above "$score" "$2"
}
# Polls until the screen matches picture $1 to at least $2 dB; $3 names the wait.
wait_for_screen() { poll "$poll_limit" running "$3" screen_scores "$1" "$2" || fail "$3: the screen scores $score dB"; }

# Polls until the studio's standard output has $2 lines (1 if not given) matching pattern $1.
output_has() { (($(grep -cE -- "$1" "$work/stdout") >= ${2:-1})); }
wait_for_output() { poll_until "output matching: $1" output_has "$@"; }

# Ends the studio with Escape; it must exit 0.
quit_live() {
  xdotool key Escape
  finish_demo
  expect_eq "$status" 0 "exit status ($1)"
}
