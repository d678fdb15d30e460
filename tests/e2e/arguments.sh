# Every program answers its command line as command-line programs do: --help prints the usage on
# standard output and exits 0; a bad option, and a bad value or argument, are each named in one
# line on standard error with status 2, nothing on standard output. PROGRAMS lists each program
# with a command line it must refuse for a bad value ("PATH|ARGUMENTS|THE WORD NAMED" a line);
# the launcher is run by sh, as the build leaves it unmarked.
set -euo pipefail
: "${PROGRAMS:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs a program with the given arguments; status, out and err are left behind.
run() {
  local program=$1
  shift
  status=0
  case $program in
    *.in | */packaging/demo) timeout 60 sh "$program" "$@" >out 2>err || status=$? ;;
    *) timeout 60 "$program" "$@" >out 2>err || status=$? ;;
  esac
}

# Refused: status 2, nothing on standard output, one line on standard error naming $2.
expect_refused() {
  local what=$1 named=$2
  [ "$status" = 2 ] || fail "$what: status $status, not 2"
  [ ! -s out ] || fail "$what: wrote to standard output: $(head -n 3 out)"
  [ "$(wc -l <err)" = 1 ] || fail "$what: $(wc -l <err) lines on standard error: $(head -n 5 err)"
  grep -qF -- "$named" err || fail "$what: standard error does not name '$named': $(cat err)"
}

count=0
while IFS='|' read -r program bad named; do
  [ -n "$program" ] || continue
  name=$(basename "$program")
  run "$program" --help
  [ "$status" = 0 ] || fail "$name --help: status $status"
  head -n 1 out | grep -q '^usage: ' || fail "$name --help: no usage on standard output: $(head -n 3 out)"
  [ ! -s err ] || fail "$name --help: wrote to standard error: $(cat err)"
  run "$program" --no-such-option
  expect_refused "$name --no-such-option" --no-such-option
  read -ra arguments <<<"$bad"
  run "$program" "${arguments[@]}"
  expect_refused "$name $bad" "$named"
  count=$((count + 1))
done <<<"$PROGRAMS"

((failures == 0)) || exit 1
echo "$count programs: --help on standard output with status 0, a bad option and a bad value named on standard error with status 2"
