#!/usr/bin/env bash
# Builds the Debian package natalis_VERSION_ARCH.deb from the build tree (build/, or
# $NATALIS_BUILD_DIR) into its package/ folder and prints the file's path.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${NATALIS_BUILD_DIR:-$top/build}
bash "$top/scripts/deps.sh" >&2
# The same configuration as the tests' build, so that packaging after them rebuilds nothing.
export NATALIS_CMAKE_ARGS=${NATALIS_CMAKE_ARGS:--DNATALIS_BUILD_BENCH=OFF}
bash "$top/scripts/build.sh" >&2
rm -f "$build"/package/natalis_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/package/natalis_*.deb
