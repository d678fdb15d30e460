# The soak: the whole show, sped up, SOAK_RUNS times (20 by default) back to back through one
# sound server, with the real data, while a busy loop per core keeps the machine loaded. Every
# run must play its music on the server, run its schedule to the end by itself in its sped-up
# time, exit 0 with nothing printed, and leave no stream behind. One line per run.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/pulse_lib.sh"
runs=${SOAK_RUNS:-20}
speed=10
start_server
use_sound_output pulse

busy=()
for ((core = 0; core < $(nproc); core++)); do
  bash -c 'while :; do :; done' &
  busy+=($!)
done
stop_busy() { kill "${busy[@]}" 2>/dev/null || true; }
trap 'stop_busy; stop_pulse; cleanup' EXIT

for ((run = 1; run <= runs; run++)); do
  DEMO_PREFIX="$(sped_up "$speed")" start_demo
  wait_for_stream
  finish_demo_within 20 "run $run: still running after 20 s"
  expect_whole_schedule "$speed"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "" "run $run: nothing printed"
  expect_eq "$(streams)" "" "run $run: streams left on the server"
  echo "run $run of $runs: the whole show in $real s at ${speed}x, status 0, nothing printed"
done
