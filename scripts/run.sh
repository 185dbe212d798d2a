#!/usr/bin/env bash
# Installs what is missing, builds, and starts natalis. Arguments are passed on to the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
build=${NATALIS_BUILD_DIR:-$top/build}
if [ -x "$build/src/app/natalis" ]; then
  exec "$build/src/app/natalis" "$@"
fi
# Until the main window exists the companion tool shows what today is.
exec "$build/src/cli/natalis-cli" day "$(date +%F)"
