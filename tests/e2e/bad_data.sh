# Missing or broken data never stops the show. A missing shader file (its build reports the
# file once, then the two empty sources fail to compile, as Mesa reports them, and the link
# fails), a fragment shader with a syntax error (one compile report for it, then the link
# report, nothing about its vertex shader) and a missing picture each print exactly their
# lines, and the show still runs its whole schedule, clock sped up, to status 0. With no sound
# device, and with each file the soundtrack refuses, the demo prints nothing and Escape ends it
# with status 0.
source "$(dirname "$0")/lib.sh"
for bad in missing_shader broken_fragment missing_picture; do
  link_data
  case $bad in
    missing_shader) own_copy newshaders; rm "$run_dir/newshaders/First.fs"
      expected="ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ
ERROR::SHADER_COMPILATION_ERROR of type: VERTEX
$report_separator
ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT
$report_separator" ;;
    broken_fragment) own_copy newshaders
      printf '#version 330 core\nout vec4 colour;\nvoid main() { colour = }\n' >"$run_dir/newshaders/Second3.fs"
      expected="ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT
$report_separator" ;;
    missing_picture) own_copy imgs; rm "$run_dir/imgs/officialmolvanian2.png"
      expected="Texture failed to load at path: imgs/officialmolvanian2.png" ;;
  esac
  [ $bad = missing_picture ] || expected+="
ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM
$report_separator"
  DEMO_PREFIX="faketime -f +0,0y_x20" start_demo
  finish_demo
  expect_whole_schedule
  expect_eq "$(own_lines)" "$expected" "standard output ($bad)"
  [ $bad != broken_fragment ] || grep -q "syntax error" "$work/stdout" || fail "the driver's log is shown"
done

link_data
use_tune pattern 4800
use_sound_output
start_demo
escape_and_check "no sound device"
use_sound_output "$work/out.wav"
for kind in missing fifo text aiff ulaw zero-frames three-channels rate-too-high absurd-data-size; do
  use_tune "$kind"
  start_demo
  escape_and_check "$kind"
done
echo "missing shader, broken fragment, missing picture, no sound device, refused tunes: as expected"
