# Shared steps for the demo-capture cases: a scratch directory, the program run from build/
# (where the demo's data sit) with its status and standard error kept, and checks on both.
set -euo pipefail
: "${CAPTURE:?}" "${SNAPSHOT:?}" "${DEMO_DATA:?}"
export LIBGL_ALWAYS_SOFTWARE=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$DEMO_DATA"

fail() {
  echo "FAIL: $*" >&2
  echo "--- demo-capture stderr:" >&2; cat "$work/stderr" >&2 2>/dev/null || true
  exit 1
}

# Runs demo-capture with the arguments; sets status. CAPTURE_PREFIX may hold a command.
capture() {
  status=0
  ${CAPTURE_PREFIX:-} "$CAPTURE" "$@" 2>"$work/stderr" || status=$?
}

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

source "$(dirname "${BASH_SOURCE[0]}")/psnr.sh"
