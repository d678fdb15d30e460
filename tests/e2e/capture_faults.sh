# The faults demo-capture must survive: a bad option (status 2), no ffmpeg, ffmpeg dying
# early or at the end, and a full disk (a file-size limit) for the soundtrack or for
# ffmpeg's output. Each fails with a clear message and leaves its directory empty: no final
# file and no temporary one.
source "$(dirname "$0")/capture_lib.sh"
short=(--from 20 --to 20.1 --fps 10)

# Runs a failing case into a fresh directory; $1 is the expected status, $2 a pattern the
# message must match, the rest the arguments, where OUT stands for the output path.
expect_failure() {
  local want=$1 pattern=$2 dir
  shift 2
  dir=$(mktemp -d -p "$work")
  capture "${@//OUT/$dir/out}"
  [ "$status" = "$want" ] || fail "$*: status $status, expected $want"
  grep -qE "$pattern" "$work/stderr" || fail "$*: message does not match '$pattern'"
  [ -z "$(ls -A "$dir")" ] || fail "$*: left $(ls -A "$dir")"
}

expect_failure 2 "unknown option '--speed'" --speed 2 --out OUT

# No ffmpeg on the PATH: the package is named, nothing is written.
CAPTURE_PREFIX="env PATH=/nonexistent" expect_failure 1 "install Debian's package 'ffmpeg'" \
  "${short[@]}" --out OUT.mp4

# A fake ffmpeg first on the PATH: fed frames, it takes part of a frame and dies, or takes
# everything and fails at the end, as a muxer or a full disk would; the real one measures the
# soundtrack's loudness.
mkdir "$work/bin"
printf '#!/bin/sh\ncase "$*" in *rawvideo*) ;; *) exec %s "$@" ;; esac\necho "fake ffmpeg: giving up" >&2\n[ "$FAKE_FFMPEG" = late ] && cat >/dev/null || head -c 4096 >/dev/null\nexit 1\n' \
  "$(command -v ffmpeg)" >"$work/bin/ffmpeg"
chmod +x "$work/bin/ffmpeg"
CAPTURE_PREFIX="env PATH=$work/bin:$PATH FAKE_FFMPEG=early" expect_failure 1 \
  "ffmpeg stopped taking frames .*exited with status 1" "${short[@]}" --out OUT.mp4
CAPTURE_PREFIX="env PATH=$work/bin:$PATH FAKE_FFMPEG=late" expect_failure 1 \
  "ffmpeg exited with status 1" "${short[@]}" --out OUT.mp4

# A 64 KiB file-size limit: the half-second soundtrack (176 KB) can't be written; a tenth
# of a second's can, and then ffmpeg can't write its full-size PNG.
CAPTURE_PREFIX="prlimit --fsize=65536 --" expect_failure 1 "cannot write the soundtrack" \
  --from 20 --to 20.5 --fps 10 --out OUT.mp4
CAPTURE_PREFIX="prlimit --fsize=65536 --" expect_failure 1 "ffmpeg (stopped|exited|was killed)" \
  "${short[@]}" --frames OUT
echo "capture faults: a bad option, no ffmpeg, ffmpeg dying early and late, full disk"
