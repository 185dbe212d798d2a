#!/usr/bin/env bash
# Installs what is missing, builds, and starts natalis. Arguments are passed on to the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh" run
bash "$top/scripts/build.sh" natalis
build=${NATALIS_BUILD_DIR:-$top/build}
exec "$build/bin/natalis" "$@"
