# Every way the music can fail to play leaves the show alone: with no sound device at all, and
# with each file the soundtrack refuses (missing, a FIFO, not RIFF/WAVE, an unsupported encoding,
# no frames, three channels, a rate out of range, absurd header sizes), the demo runs, prints
# nothing, and Escape ends it with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/music_lib.sh"
start_screen

use_tune pattern 4800
use_sound_output
start_demo
escape_and_check "no sound device"

use_sound_output "$work/out.wav"
for kind in missing fifo text aiff ulaw zero-frames three-channels rate-too-high absurd-data-size; do
  use_tune "$kind"
  start_demo
  escape_and_check "$kind"
done
echo "no device, and each refused file: nothing printed, status 0"
