# Every way one data file can be bad, for the file named by the argument (a path under the
# run directory): missing, empty, truncated, garbage, another format under its name, unreadable
# and a directory in its place. Each time the sped-up demo, run as an unprivileged user so that
# permissions count, prints exactly its loaders' lines, runs the whole schedule and exits 0.
source "$(dirname "$0")/lib.sh"
file=${1:?which data file}
speed=40
cases=(missing empty truncated garbage wrong-format unreadable directory)
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

# The programs in start-up order, each as its vertex and fragment file.
mapfile -t programs < <(awk '$1 == "program" { print $2, $3 }' "$show_data")
picture=$(data_entry picture)
file_line=ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ
picture_line="Texture failed to load at path: $picture"

# The unprivileged demo reads the run directory and writes its trace.
chmod 755 "$work" "$run_dir"
chmod 666 "$trace"

report() { printf 'ERROR::%s of type: %s\n%s\n' "$1" "$2" "$report_separator"; }

# What the demo must print when $file is bad in the way $1 is: a file that can't be read
# empties both texts of every program that uses it; one that reads but is no shader fails its
# own stage. Both then fail to link. The picture gets its one line; the tune nothing.
expected() {
  local how=$1 vertex fragment program
  for program in "${programs[@]}"; do
    read -r vertex fragment <<<"$program"
    [ "$file" = "$vertex" ] || [ "$file" = "$fragment" ] || continue
    case $how in
      missing | unreadable | directory)
        echo "$file_line"
        report SHADER_COMPILATION_ERROR VERTEX
        report SHADER_COMPILATION_ERROR FRAGMENT ;;
      *) report SHADER_COMPILATION_ERROR "$([ "$file" = "$vertex" ] && echo VERTEX || echo FRAGMENT)" ;;
    esac
    report PROGRAM_LINKING_ERROR PROGRAM
  done
  [ "$file" != "$picture" ] || echo "$picture_line"
}

# Fresh links to the build's data, with an own copy of the directory that holds $file.
prepare_run_dir() {
  link_data
  rm "$run_dir/${file%%/*}"
  cp -r "$DEMO_DATA/${file%%/*}" "$run_dir/${file%%/*}"
}

# Puts $file in the run directory, made bad in the way $1 says.
break_file() {
  local target=$run_dir/$file original=$DEMO_DATA/$file
  case $1 in
    missing) rm "$target" ;;
    empty) : >"$target" ;;
    truncated) head -c $(($(stat -c %s "$original") / 2)) "$original" >"$target" ;;
    garbage) LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", 1 + int(rand() * 255) }' >"$target" ;;
    wrong-format)  # a picture in another format for the picture; the picture for the others
      if [ "$file" = "$picture" ]; then printf 'P6\n2 2\n255\n%012d' 0 >"$target"; else cp "$DEMO_DATA/$picture" "$target"; fi ;;
    unreadable) chmod 000 "$target" ;;
    directory) rm "$target"; mkdir "$target" ;;
  esac
}

# Every driver log between a report's heading and its separator names an error.
logs_name_errors() {
  awk -v sep="$report_separator" '
    /^ERROR::(SHADER_COMPILATION|PROGRAM_LINKING)_ERROR of type: / { inlog = 1; found = 0; next }
    inlog && $0 == sep { if (!found) exit 1; inlog = 0; next }
    inlog && /error/ { found = 1 }' "$work/stdout"
}

for how in "${cases[@]}"; do
  prepare_run_dir
  break_file "$how"
  : >"$trace"
  DEMO_PREFIX="${as_user[*]} $(sped_up "$speed")" start_demo
  finish_demo
  expect_whole_schedule
  expect_eq "$(own_lines)" "$(expected "$how")" "standard output ($how)"
  logs_name_errors || fail "a driver log without an error ($how)"
  expect_eq "$(cat "$work/stderr")" "" "standard error ($how)"
  echo "$file $how: reported as expected, whole schedule, status 0"
done
