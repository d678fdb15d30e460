# The CPU taken by other work while the music plays through the sound server: a busy loop per
# core for four seconds, ahead of every ordinary process (real-time priority, below the
# server's own, as a desktop's server has it; where that isn't allowed, ordinary loops with
# the demo at the lowest priority). The stream must recover by itself: within a second of the
# loops' end the music plays again, a second at least in one run, every frame the tune at its
# level. Then Escape ends the run with status 0 and nothing printed. Reports how far the music
# slipped behind its time-line and how long it took to come back once the CPU was free.
SCREEN_SIZE=640x360x24
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
frames=$((60 * music_rate))
busy_ms=4000
capture=$work/capture.f32
start_server
hog=(chrt --fifo 1)
chrt --fifo 1 true 2>/dev/null || { hog=(); DEMO_PREFIX="nice -n 19"; }
play_recorded "$frames" "$capture"
wait_for_music "$capture" "$frames" "$music_rate"
# The loops all end at the same moment, the end of the starvation.
freed_at=$(($(date +%s%N) + busy_ms * 1000000))
hogs=()
for ((core = 0; core < $(nproc); core++)); do
  "${hog[@]}" bash -c 'while ((${EPOCHREALTIME/./} < $1)); do :; done' hog $((freed_at / 1000)) &
  hogs+=($!)
done
wait "${hogs[@]}"
freed=$(awk -v t="$freed_at" -v start="$(capture_start "$capture")" -v rate="$music_rate" \
  'BEGIN { printf "%d", (t - start) / 1e9 * rate }')
wait_for_music "$capture" "$frames" "$music_rate" 10 "$freed"
escape_and_check "Escape after the starvation"
stop_recording

tune_runs "$capture" "$frames" >"$work/runs"
expect_eq "$(awk 'NR == 1 { print $2 }' "$work/runs")" 0 "the tune frame the music began with"
# When the music came back once the CPU was free (less than 0: it was playing by then, in the
# share of time the kernel keeps for ordinary processes), and the slip: capture frames since the
# music began less tune frames played, at the last run.
read -r recovery slip < <(awk -v freed="$freed" -v rate="$music_rate" '
  NR == 1 { began = $1 }
  back == "" && $1 + $3 > freed { back = $1 - freed }
  { slip = $1 - began - $2 }
  END { printf "%.0f %.0f\n", back / rate * 1000, slip / rate * 1000 }' "$work/runs")
((recovery <= 1000)) || fail "the music came back $recovery ms after the CPU was free"
echo "starved for $((busy_ms / 1000)) s${hog[*]:+ by real-time loops}: $(($(wc -l <"$work/runs") - 1))" \
  "silences, the music $slip ms behind its time-line after, back $recovery ms after the CPU was free"
