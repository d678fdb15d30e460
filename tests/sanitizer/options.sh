# The sanitizers' run-time options for the sanitized test suite, sourced by its scripts: every
# report is fatal and printed with its stack, leaks are checked at exit, and the leak
# suppressions (system libraries only, each with its reason) come from lsan.supp.
sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$sanitizer_dir/lsan.supp:print_suppressions=0
