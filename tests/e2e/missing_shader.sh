# A missing shader file: the second program's fragment file is gone. Its build reports the
# file once, then the two empty sources fail to compile (as Mesa reports them) and the link
# fails; the show still runs to its end with status 0.
source "$(dirname "$0")/lib.sh"
own_copy newshaders
rm "$run_dir/newshaders/First.fs"
start_screen
DEMO_PREFIX="faketime -f +0,0y_x20" start_demo
finish_demo
expect_whole_schedule
expect_eq "$(own_lines)" "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ
ERROR::SHADER_COMPILATION_ERROR of type: VERTEX
$report_separator
ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT
$report_separator
ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM
$report_separator" "standard output"
echo "missing shader file: reported, whole schedule, status 0"
