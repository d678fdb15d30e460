# Shared steps for the music cases, sourced after lib.sh: OpenAL Soft pointed at a config of
# the test's own (a wave file for output, or no output at all), and one run ended with Escape.
: "${MUSIC_WAV_TOOL:?}"
music_rate=48000

# Output to the named wave file, 32-bit float at 48 kHz, with the output stage's limiter and
# dither off, so the device neither resamples nor alters a sample.
use_sound_output() {
  cat >"$work/alsoft.conf" <<CONF
[general]
drivers = wave
frequency = $music_rate
channels = stereo
sample-type = float32
output-limiter = false
dither = false
hrtf = false
[wave]
file = $1
CONF
  export ALSOFT_CONF=$work/alsoft.conf
}

# No device OpenAL Soft can open, on any machine: only ALSA, asked for a device that doesn't
# exist (both libraries complain about that on stderr unless told to be quiet).
use_no_sound_device() {
  printf '[general]\ndrivers = alsa\n[alsa]\ndevice = no-such-device\n' >"$work/alsoft.conf"
  export ALSOFT_CONF=$work/alsoft.conf
}

# Puts the file the demo plays in place of the tune; with no arguments, none at all.
use_tune() {
  rm -rf "$run_dir/demotune.wav"
  (($# == 0)) || "$MUSIC_WAV_TOOL" "$@"
}

# Waits until the file holds at least the given number of bytes.
wait_for_size() {
  local file=$1 bytes=$2 step
  for ((step = 0; step < 600; step++)); do
    (($(stat -c %s "$file" 2>/dev/null || echo 0) >= bytes)) && return 0
    kill -0 "$demo_pid" 2>/dev/null || fail "demo ended before $file reached $bytes bytes"
    sleep 0.05
  done
  fail "$file did not reach $bytes bytes"
}

# Ends the running demo with Escape; it must exit 0 with nothing printed.
escape_and_check() {
  wait_for_trace glfwSwapBuffers
  demo_window >/dev/null
  xdotool key Escape
  finish_demo
  expect_eq "$status" 0 "exit status ($1)"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "nothing printed ($1)"
}
