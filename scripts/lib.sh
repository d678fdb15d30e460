# What the scripts share, said once; each sources it first. The repository's root, the answer to
# --help and to a bad argument, the virtual screen, the end-to-end cases' environment as the
# build writes it, the release's version and date, and the show's data files as the build lists
# them.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script_name=scripts/$(basename "$0")

# --help (or -h) anywhere on the line: the calling script's opening comment (its lines after the
# first that start with '#') as the usage, on standard output, and status 0.
answer_help() {
  local argument
  for argument in "$@"; do
    case $argument in
      --help | -h)
        awk 'NR == 1 { next } !/^#/ { exit } { sub(/^# ?/, ""); print }' "$0"
        exit 0
        ;;
    esac
  done
}

# A bad command line, as the programs answer one: a line on standard error, and status 2.
refuse() {
  echo "$script_name: $* (see $script_name --help)" >&2
  exit 2
}

# For a script that takes no arguments: --help answered, anything else refused.
takes_no_arguments() {
  answer_help "$@"
  (($# == 0)) || refuse "unexpected argument '$1'"
}

# headless [--noreset] [WIDTHxHEIGHT] COMMAND...: runs COMMAND on a virtual screen of its own,
# 1920x1080 unless given, on Mesa's software renderer. --noreset keeps the screen up between
# clients, for a command that starts one program after another on it.
headless() {
  local options="" size=1920x1080
  if [ "$1" = --noreset ]; then
    options=" -noreset"
    shift
  fi
  if [[ $1 =~ ^[0-9]+x[0-9]+$ ]]; then
    size=$1
    shift
  fi
  LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 ${size}x24$options" "$@"
}

# Exports what the end-to-end cases get from CTest (the programs, the test helpers, the data),
# as the build in folder $1 wrote it, for a script that runs such a case itself.
export_test_environment() {
  local file=$1/tests/e2e.env line
  [ -s "$file" ] || { echo "$script_name: $file is missing: build with the tests first" >&2; exit 1; }
  while IFS= read -r line; do export "$line"; done <"$file"
}

# The release's version, and its date in seconds since the epoch: packaging/changelog's latest
# entry's, or SOURCE_DATE_EPOCH when set.
changelog() { dpkg-parsechangelog -l "$root/packaging/changelog" -S "$1"; }
release_version() { changelog Version; }
release_date() { echo "${SOURCE_DATE_EPOCH:-$(changelog Timestamp)}"; }

# Copies the show's data, each file that folder $1's show_data.txt lists ("program VERTEX
# FRAGMENT", "picture PATH", "tune PATH", paths relative to $1), into folder $2 in the same
# layout. The files themselves: a build's newshaders is a link to the repository's folder.
copy_show_data() {
  local file
  for file in $(awk '{ for (i = 2; i <= NF; i++) if (!seen[$i]++) print $i }' "$1/show_data.txt"); do
    mkdir -p "$2/$(dirname "$file")"
    cp -L "$1/$file" "$2/$file"
  done
}
