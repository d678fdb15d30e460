# A fragment shader with a syntax error: one compile report for it, then the link report,
# nothing about its vertex shader; the show still runs to its end with status 0.
source "$(dirname "$0")/lib.sh"
own_copy newshaders
printf '#version 330 core\nout vec4 colour;\nvoid main() { colour = }\n' >"$run_dir/newshaders/Second3.fs"
start_screen
DEMO_PREFIX="faketime -f +0,0y_x20" start_demo
finish_demo
expect_whole_schedule
expect_eq "$(own_lines)" "ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT
$report_separator
ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM
$report_separator" "standard output"
grep -q "syntax error" "$work/stdout" || fail "the driver's log is shown"
echo "broken fragment shader: reported, whole schedule, status 0"
