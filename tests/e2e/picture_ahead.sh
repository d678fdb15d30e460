# The picture is decoded on a thread of its own from before main, yet reported at its own step
# of start-up. For a missing, a broken and a huge picture (one past the decoder's size limit):
# a start-up that ends before the picture's step (no display, no GL functions) prints only its
# own message and ends with status -1 (255) before the frame loop, arguments or not; one that
# goes on prints the shader reports of the programs built before the
# picture, then the picture's line. With those and the intact picture, no thread of start-up's
# is left once the first frame is out.
source "$(dirname "$0")/lib.sh"
picture=$(data_entry picture)
read -r vertex _ < <(awk '$1 == "program" { print $2, $3; exit }' "$show_data")
picture_line="Texture failed to load at path: $picture"
decoder_thread=picture

report() { printf 'ERROR::%s of type: %s\n%s\n' "$1" "$2" "$report_separator"; }

# The first program's vertex file goes missing, so its reports come before the picture's step.
shader_reports() {
  echo ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ
  report SHADER_COMPILATION_ERROR VERTEX
  report SHADER_COMPILATION_ERROR FRAGMENT
  report PROGRAM_LINKING_ERROR PROGRAM
}

# The run directory with its own copies of the picture's and the shaders' folders, the picture
# made as $1 says.
prepare() {
  link_data
  local folder
  for folder in "${picture%%/*}" "${vertex%%/*}"; do
    [ ! -L "$run_dir/$folder" ] || { rm "$run_dir/$folder" && cp -r "$DEMO_DATA/$folder" "$run_dir/$folder"; }
  done
  rm "$run_dir/$vertex"
  local target=$run_dir/$picture
  case $1 in
    intact) ;;
    missing) rm "$target" ;;
    broken) head -c 4096 "$DEMO_DATA/$picture" >"$target" ;;
    huge)  # a PNG header for 8193x8193 pixels, one past what the decoder takes
      printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x20\x01\0\0\x20\x01\x08\x06\0\0\0\0\0\0\0\0\0\0\0IEND\0\0\0\0' >"$target" ;;
  esac
}

for how in intact missing broken huge; do
  prepare "$how"

  (cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY "$DEMO" --fullscreen -x 1 extra >"$work/stdout" 2>"$work/stderr") && status=0 || status=$?
  expect_eq "$status" 255 "no display, $how picture: exit status"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "Failed to create GLFW window" "no display, $how picture: output"

  GLFW_TRACE_NO_GL=1 start_demo extra
  finish_demo
  expect_eq "$status" 255 "no GL functions, $how picture: exit status"
  expect_eq "$(cat "$work/stdout" "$work/stderr")" "Failed to initialize GLAD" "no GL functions, $how picture: output"
  ! grep -q glfwWindowShouldClose "$trace" || fail "no GL functions, $how picture: the frame loop started"

  use_sound_output
  start_demo
  wait_for_trace glfwSwapBuffers
  left=$(grep -lx "$decoder_thread" /proc/"$demo_pid"/task/*/comm 2>/dev/null || true)
  [ -z "$left" ] || fail "$how picture: the decoding thread is still there after the first frame"
  demo_window >/dev/null
  xdotool key Escape
  finish_demo
  expect_eq "$status" 0 "$how picture: exit status"
  expected=$(shader_reports; [ "$how" = intact ] || echo "$picture_line")
  expect_eq "$(own_lines)" "$expected" "$how picture: standard output"
  expect_eq "$(cat "$work/stderr")" "" "$how picture: standard error"
  echo "$how picture: reported at its step, after the shader reports; no decoding thread after start-up"
done
