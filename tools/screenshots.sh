#!/usr/bin/env bash
# Renders every window with sample data into PNG files under a real X server (Xvfb), so that
# fonts and sizes are those a user sees. Usage: tools/screenshots.sh [OUTDIR] (default /tmp/natalis-shots)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/natalis-shots}
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "${NATALIS_BUILD_DIR:-$top/build}/tools/screenshots/natalis-screenshots" "$out"
