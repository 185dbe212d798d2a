#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${NATALIS_BUILD_DIR:-$top/build}"
ctest --output-on-failure --parallel "$(nproc)" "$@"
