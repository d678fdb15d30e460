# The sanitizers' run-time options for the sanitized test suite, sourced by its scripts: every
# report is fatal and printed with its stack, leaks are checked at exit, and the leak
# suppressions (system libraries only, each with its reason) come from lsan.supp.
# __tls_get_addr is not intercepted: this compiler's runtime misreads the main thread's dynamic
# TLS once libraries with TLS of their own have come and gone (OpenAL Soft's backends), and its
# leak check at exit then crashes in its own tracer ("DTLS ... at 0x1019"), failing a clean run.
sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$sanitizer_dir/lsan.supp:print_suppressions=0
