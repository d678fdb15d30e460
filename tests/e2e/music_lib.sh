# Shared steps for the music cases, sourced after lib.sh: OpenAL Soft pointed at a config of the
# test's own, a tune of the test's own, and a run ended with Escape.
: "${MUSIC_WAV_TOOL:?}"
music_rate=48000

# Output to the named wave file as 32-bit float at the tunes' rate, limiter and dither off, so
# not a sample is altered. With no name: only ALSA, asked for a device that doesn't exist (no
# device on any machine, and both libraries complain on stderr unless told to be quiet).
use_sound_output() {
  if (($# == 0)); then
    printf '[general]\ndrivers = alsa\n[alsa]\ndevice = no-such-device\n' >"$work/alsoft.conf"
  else
    printf '[general]\ndrivers = wave\nfrequency = %s\nchannels = stereo\nsample-type = float32\noutput-limiter = false\ndither = false\nhrtf = false\n[wave]\nfile = %s\n' \
      "$music_rate" "$1" >"$work/alsoft.conf"
  fi
  export ALSOFT_CONF=$work/alsoft.conf
}

# The tune the demo finds: the pattern of that many frames, or a refused file of that kind.
use_tune() {
  rm -f "$run_dir/demotune.wav"
  case $1 in
    pattern) "$MUSIC_WAV_TOOL" pattern "$run_dir/demotune.wav" "$music_rate" "$2" ;;
    *) "$MUSIC_WAV_TOOL" refused "$1" "$run_dir/demotune.wav" ;;
  esac
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
