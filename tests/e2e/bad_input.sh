# Every way the data can be bad, one run per way with every data file bad in it at once:
# missing, empty, truncated, garbage, another format under its name, unreadable, a directory
# in its place, and a FIFO that no one writes (which must not keep the demo waiting). Each time the sped-up demo, run as an unprivileged user (so that
# permissions count) with no sound device, prints exactly its loaders' lines in start-up order,
# runs the whole schedule and exits 0.
source "$(dirname "$0")/lib.sh"
speed=40
# Unprivileged: as nobody when the suite runs as root; as the user it runs as otherwise.
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
mapfile -t files < <(data_files)
picture=$(data_entry picture)
programs=$(grep -c '^program ' "$show_data")

# The unprivileged demo reads the run directory and writes its trace. It runs from copies of the
# demo and of the libraries preloaded into it, in the test's own folder: the build tree may sit
# where nobody can reach it (a clone in a home folder of mode 700 or 750).
chmod 755 "$work" "$run_dir"
chmod 666 "$trace"
mkdir -m 755 "$work/bin"
reachable() { install -m 755 "$1" "$work/bin/" && echo "$work/bin/$(basename "$1")"; }
DEMO=$(reachable "$DEMO")
GLFW_TRACE=$(reachable "$GLFW_TRACE")
if [ -n "${LD_PRELOAD:-}" ]; then
  preloaded=()
  IFS=: read -ra libraries <<<"$LD_PRELOAD"
  for library in "${libraries[@]}"; do preloaded+=("$(reachable "$library")"); done
  LD_PRELOAD=$(IFS=:; echo "${preloaded[*]}")
fi
use_sound_output

report() { printf 'ERROR::%s of type: %s\n%s\n' "$1" "$2" "$report_separator"; }

# What the demo must print when every file is bad in the way $1 is: a program whose files
# can't be read says so first; then both stages fail, and the link. Then the picture's line;
# the tune says nothing.
expected() {
  local program
  for ((program = 0; program < programs; program++)); do
    case $1 in missing | unreadable | directory | fifo) echo ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ ;; esac
    report SHADER_COMPILATION_ERROR VERTEX
    report SHADER_COMPILATION_ERROR FRAGMENT
    report PROGRAM_LINKING_ERROR PROGRAM
  done
  echo "Texture failed to load at path: $picture"
}

# Where a truncated copy of file $1 ends: half way, and for a shader just after the next opening
# bracket, so that the cut can't fall between two functions (what comes before would compile).
half_way() {
  local half=$(($(stat -c %s "$1") / 2))
  case $1 in
    *.vs | *.fs) echo $((half + $(tail -c +$((half + 1)) "$1" | grep -bo '(' | head -n 1 | cut -d: -f1) + 1)) ;;
    *) echo "$half" ;;
  esac
}

# The run directory with copies of the data, every file made bad in the way $1 says.
break_files() {
  rm -rf "${run_dir:?}"/*
  local file target
  for file in "${files[@]}"; do
    target=$run_dir/$file
    mkdir -p "$(dirname "$target")"
    case $1 in
      missing) ;;
      empty) : >"$target" ;;
      truncated) head -c "$(half_way "$DEMO_DATA/$file")" "$DEMO_DATA/$file" >"$target" ;;
      garbage) LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", 1 + int(rand() * 255) }' >"$target" ;;
      wrong-format)  # a picture in another format for the picture; the picture for the others
        if [ "$file" = "$picture" ]; then printf 'P6\n2 2\n255\n%012d' 0 >"$target"; else cp "$DEMO_DATA/$picture" "$target"; fi ;;
      unreadable) cp "$DEMO_DATA/$file" "$target" ;;
      directory) mkdir "$target" ;;
      fifo) mkfifo "$target" ;;
    esac
  done
  chmod -R a+rX "$run_dir"
  [ "$1" != unreadable ] || for file in "${files[@]}"; do chmod 000 "$run_dir/$file"; done
}

for how in missing empty truncated garbage wrong-format unreadable directory fifo; do
  break_files "$how"
  DEMO_PREFIX="${as_user[*]} $(sped_up "$speed")" start_demo
  finish_demo_within 60 "every file $how: the demo still runs a minute on"
  expect_whole_schedule
  expect_eq "$(own_lines)" "$(expected "$how")" "standard output ($how)"
  expect_eq "$(cat "$work/stderr")" "" "standard error ($how)"
  echo "every file $how: reported in start-up order, whole schedule, status 0"
done
