# The music through a real sound server, as a desktop user hears it, and the server stopped
# mid-show and started again a moment later, as a desktop restarts it. Every frame recorded is
# silence or the tune at its own level; the first sound is its first frame; after a silence
# where the server found the stream's buffer empty (which drops sound) it goes on at the very
# frame that playing on would have reached; and after the outage the show has gone on, and the
# music comes back by itself at the frame its time-line implies (to within a tenth of a second:
# each connection to a server sounds with a latency of its own). Escape ends the run at once
# with status 0 and nothing printed. The demo's server relays its sink to a second server that is
# recorded throughout, so silence and music lie on one time; a counter tune a minute long
# names its place in every frame.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
frames=$((60 * music_rate))
outage=1.5  # seconds without a server
tolerance=$((music_rate / 10))
capture=$work/capture.f32
use_relay
start_server
play_recorded "$frames" "$capture"
wait_for_music "$capture" "$frames" "$music_rate"
stop_server
stopped_at=$(stat -c %s "$capture")
sleep "$outage"
kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended with the server"
start_server
wait_for_music "$capture" "$frames" "$music_rate" 10 $((stopped_at / 8))
escape_and_check "Escape after the restart"
stop_recording

tune_runs "$capture" "$frames" >"$work/runs"
expect_eq "$(awk 'NR == 1 { print $2 }' "$work/runs")" 0 "the tune frame the music began with"
expect_time_kept "$work/runs" "$frames" "$tolerance"
# The run after the longest silence is the one the restart brought back.
echo "after $outage s without a server the music came back" \
  "$(awk -v n="$frames" -v rate="$music_rate" 'NR > 1 && $1 - end > gap {
      gap = $1 - end; off = (($2 - (frame + $1 - end)) % n + n + int(n / 2)) % n - int(n / 2) }
    { frame = ($2 + $3) % n; end = $1 + $3 } END { printf "%.0f ms", off / rate * 1000 }' "$work/runs")" \
  "from where its time-line puts it"
