#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh"
# The benchmarks build in their own release tree (scripts/bench.sh); the tests do not need them.
export NATALIS_CMAKE_ARGS=${NATALIS_CMAKE_ARGS:--DNATALIS_BUILD_BENCH=OFF}
bash "$top/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${NATALIS_BUILD_DIR:-$top/build}"
# A tree without tests (GoogleTest missing) must fail here, not pass with nothing run.
ctest --output-on-failure --no-tests=error --parallel "$(nproc)" "$@"
