# A soundtrack that can't be played never stops the show: with no sound device, and with each
# file the soundtrack refuses, the demo prints nothing and Escape ends it with status 0. (The
# other data files' bad forms are in bad_input_matrix.sh.)
source "$(dirname "$0")/lib.sh"
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
echo "no sound device, refused tunes: nothing printed, status 0"
