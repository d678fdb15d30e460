# demo-live's track lanes driven with the mouse as a maker drives them, on data laid out as the
# build lays them out: a click on the fade's lane adds a key at the playhead, snapped to the
# beat; the key dragged a beat back and down darkens the frame, as demo-snapshot renders the
# saved file; two undos give the repository's shader back byte for byte and the frame with it.
# Then the crash at the third cut dragged a bar on: the tune the synth makes from the saved
# shader has its crash there, a bar later, and is the same tune up to the old crash.
SCREEN_SIZE=960x540x24
source "$(dirname "$0")/live_lib.sh"
: "${DEMOTUNE:?}"
lay_out_as_built
shader=$(cd "$repo" && grep -l '^// ---- tracks:' $(data_files | grep '^newshaders/') | head -n 1)
[ -n "$shader" ] || fail "no shader holds the tracks"
cp "$repo/$shader" "$work/original.vs"
at=20.3  # scene 2, just after a beat as heard (20.24 s)

# The display's layout (hud.cpp, lanes.cpp): the lanes last in the panel, which sits 8 pixels
# above the screen's bottom with 8 of padding, each lane 22 high, in the order of the block;
# across them the show's 0 to 109 s, 16 pixels in from either side.
width=${screen_size%x*} height=${screen_size#*x}
lanes=$(grep -cE '^// [a-z][A-Za-z0-9]* \((float|vec3)\)$' "$work/original.vs")
lane_y() { echo $((height - 16 - (lanes - $1) * 22)); }  # a lane's top, counted from 0
x_at() { awk -v t="$1" -v w="$width" 'BEGIN { printf "%d", 16 + t / 109 * (w - 32) + 0.5 }'; }
lane_of() { grep -E '^// [a-z][A-Za-z0-9]* \((float|vec3)\)$' "$work/original.vs" | grep -n "^// $1 " | cut -d: -f1; }
fade_y=$(lane_y $(($(lane_of fade) - 1)))
crash_y=$(lane_y $(($(lane_of crash) - 1)))
keys() { grep -E "^const float $1_TIMES" "$repo/$shader"; }

start_live --at "$at" --paused
snapshot "$at" "$work/original.png"
xdotool key h  # the frame alone, to compare
wait_for_screen "$work/original.png" 45 "the start"
xdotool key h

# A click on the fade's lane, away from its keys: a key at the playhead, on the beat, that
# keeps the curve as it was.
xdotool mousemove "$(x_at 70)" $((fade_y + 11)) click 1
wait_for_output "fade: key added at 20.240 s"
keys FADE | grep -qF "11.0, 20.24, 44.4" || fail "the key is not in the file: $(keys FADE)"
# Dragged a beat back and two thirds of the lane down (the lane spans its values and 15 % more).
xdotool mousemove "$(x_at 20.24)" $((fade_y + 3)) mousedown 1 mousemove "$(x_at 19.74)" $((fade_y + 16)) mouseup 1
wait_for_output "fade: key at 19.740 s"
keys FADE | grep -qF "11.0, 19.74, 44.4" || fail "the drag is not in the file: $(keys FADE)"
snapshot "$at" "$work/darker.png"
cmp -s "$work/original.png" "$work/darker.png" && fail "the fade key changed nothing at $at s"
xdotool key h
wait_for_screen "$work/darker.png" 45 "the dragged key"

xdotool key ctrl+z
wait_for_output "edit undone"
xdotool key ctrl+z
wait_for_output "edit undone" 2
cmp -s "$work/original.vs" "$repo/$shader" || fail "two undos do not give the shader back byte for byte"
wait_for_screen "$work/original.png" 45 "the undone edits"
xdotool key h

# The third cut's crash, a bar (two seconds) later: the tune made from the file has it there.
crash=$(keys CRASH | sed 's/.*float\[\](//; s/).*//' | cut -d, -f3 | tr -d ' ')
later=$(awk -v t="$crash" 'BEGIN { printf "%.2f", t + 2 }')
xdotool mousemove "$(x_at "$crash")" $((crash_y + 3)) mousedown 1 mousemove "$(x_at "$later")" $((crash_y + 3)) mouseup 1
wait_for_output "crash: key at $later"
quit_live "after the edits"
mkdir -p "$work/original/$(dirname "$shader")" && cp "$work/original.vs" "$work/original/$shader"
"$DEMOTUNE" "$work/original" "$work/original.wav" || fail "demotune on the original"
"$DEMOTUNE" "$repo" "$work/moved.wav" || fail "demotune on the edited shader"
lag=$(sed -n 's/^const float MUSIC_LAG = \(.*\);$/\1/p' "$repo/$shader")
python3 - "$work/original.wav" "$work/moved.wav" "$crash" "$later" "$lag" <<'EOF' || fail "the tune's crash is not where the picture's is"
import array, sys, wave
def samples(path):
    with wave.open(path) as w:
        return w.getframerate(), array.array("h", w.readframes(w.getnframes()))
rate, a = samples(sys.argv[1])
_, b = samples(sys.argv[2])
old, new = (float(sys.argv[3]) - float(sys.argv[5])), (float(sys.argv[4]) - float(sys.argv[5]))
first = next(i for i in range(len(a)) if a[i] != b[i]) // 2 / rate
loud = lambda at: sum((a[i] - b[i]) ** 2 for i in range(int(at * rate) * 2, int((at + 0.25) * rate) * 2)) / (0.5 * rate)
before = loud(new - 0.25)  # the old crash's tail, which the new one's attack stands out of
print(f"the tunes part at {first:.3f} s; the difference's power {loud(new):.0f} from the new crash, {before:.0f} before it")
sys.exit(0 if abs(first - old) < 0.01 and loud(new) > 2 * before else 1)
EOF
echo "live tracks: a key added on the beat, dragged, undone byte for byte; the tune's crash moved with the cue sheet's"
