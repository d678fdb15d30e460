# The music streams: a 10-minute tune costs the demo no more memory than a 10-second one, within
# a few MB (decoding it whole would take some 230 MB). Peak resident size is read while the
# music plays, once two seconds of sound have come out.
source "$(dirname "$0")/lib.sh"
margin_kb=4096
two_seconds=$((2 * music_rate * 2 * 4))
start_screen

# Sets peak to the demo's peak resident size in kB while it plays a tune of $1 seconds.
peak_of_tune() {
  use_tune pattern $(($1 * music_rate))
  rm -f "$work/out.wav"
  use_sound_output "$work/out.wav"
  start_demo
  local step
  for ((step = 0; step < 600; step++)); do
    (($(stat -c %s "$work/out.wav" 2>/dev/null || echo 0) >= two_seconds)) && break
    kill -0 "$demo_pid" 2>/dev/null || fail "demo ended while playing"
    sleep 0.05
  done
  peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$demo_pid/status")
  escape_and_check "$1 s tune"
}
peak_of_tune 10
short=$peak
peak_of_tune 600
long=$peak
((long <= short + margin_kb)) || fail "peak RSS $long kB with a 10-minute tune, $short kB with a 10-second one"
echo "peak RSS: $short kB with a 10-second tune, $long kB with a 10-minute one"
