#!/usr/bin/env bash
# Configures and builds natalis into build/ (or $NATALIS_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${NATALIS_BUILD_DIR:-$top/build}
# ccache keeps rebuilds of other checkouts and clean clones short; the build works without it.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$top} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
# Release by default: debug information made every compile a third slower and the test command
# too slow for a small machine; NATALIS_BUILD_TYPE=RelWithDebInfo brings it back for a debugger.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${NATALIS_BUILD_TYPE:-Release} \
  "${launcher[@]}" ${NATALIS_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "$(nproc)" ${1:+--target "$@"}
