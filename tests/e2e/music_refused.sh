# Every way the music can fail to play leaves the show alone: with no sound device at all, and
# with each file the soundtrack refuses (missing, a FIFO, not RIFF/WAVE, an unsupported encoding,
# no frames, three channels, a rate out of range, absurd header sizes), the demo runs, prints
# nothing, plays silence, and Escape ends it with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/music_lib.sh"
start_screen

use_tune pattern "$run_dir/demotune.wav" "$music_rate" 4800
use_no_sound_device
start_demo
escape_and_check "no sound device"

for kind in missing fifo directory text aiff ulaw zero-frames three-channels rate-too-low \
            rate-too-high absurd-data-size absurd-channel-count; do
  use_tune refused "$kind" "$run_dir/demotune.wav"
  out=$work/$kind.wav
  use_sound_output "$out"
  start_demo
  escape_and_check "$kind"
  # The device ran and wrote its file; what it played was silence from end to end.
  "$MUSIC_WAV_TOOL" silent "$out" || fail "sound played for $kind"
done
echo "no device, and each refused file: silent, nothing printed, status 0"
