#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UBSan into build-sanitize/ and runs
# every test but the desktop scenarios (those run the normal build on a real X server or
# compositor): the engines, and the windows on the offscreen platform. A memory error, a leak or
# undefined behaviour fails the run. Arguments go to ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export NATALIS_BUILD_DIR=${NATALIS_SANITIZE_BUILD_DIR:-$top/build-sanitize}
# Unoptimised builds compile quickest and keep every access the sanitizers look at.
export NATALIS_BUILD_TYPE=Debug
export NATALIS_CMAKE_ARGS="-DNATALIS_SANITIZE=ON -DNATALIS_BUILD_BENCH=OFF"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_stack_use_after_return=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# Leaks inside system libraries Qt loads (fontconfig, D-Bus) are theirs, not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/tests/support/lsan.supp:print_suppressions=0}
bash "$top/scripts/test.sh" -LE desktop "$@"
