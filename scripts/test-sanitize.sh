#!/usr/bin/env bash
# Builds the engines (calendar, store, reminder, sms, transfer) and their tests with
# AddressSanitizer and UBSan into build-sanitize/ and runs those tests; a memory error, a leak or
# undefined behaviour fails the run. Arguments go to ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export NATALIS_BUILD_DIR=${NATALIS_SANITIZE_BUILD_DIR:-$top/build-sanitize}
# Unoptimised builds compile quickest and keep every access the sanitizers look at.
export NATALIS_BUILD_TYPE=Debug
export NATALIS_CMAKE_ARGS="-DNATALIS_SANITIZE=ON -DNATALIS_BUILD_BENCH=OFF
  -DNATALIS_SUBSYSTEMS=calendar;store;reminder;sms;transfer"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_stack_use_after_return=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
bash "$top/scripts/test.sh" "$@"
