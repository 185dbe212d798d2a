#!/usr/bin/env bash
# Builds in release mode and runs every benchmark binary (extra arguments go to each).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export NATALIS_BUILD_DIR=${NATALIS_BUILD_DIR:-$top/build-release}
export NATALIS_BUILD_TYPE=Release
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
for b in "$NATALIS_BUILD_DIR"/bench/*_bench; do
  echo "== $(basename "$b")"
  "$b" "$@"
done
