#!/usr/bin/env bash
# Renders every window with sample data into PNG files under a real X server (Xvfb), so that
# fonts and sizes are those a user sees, on a middling screen, on 1024x768 and 1366x768, at scale
# factor 2 on 1920x1080, and in dark. Usage: tools/screenshots.sh [OUTDIR] (default /tmp/natalis-shots)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/natalis-shots}
bash "$top/scripts/deps.sh"
bash "$top/scripts/build.sh"
shots="${NATALIS_BUILD_DIR:-$top/build}/tools/screenshots/natalis-screenshots"
xvfb-run -a -s "-screen 0 1280x800x24" "$shots" "$out"
# The small screens, a doubled scale on a full-HD one, and a dark desktop.
xvfb-run -a -s "-screen 0 1024x768x24" "$shots" "$out/1024x768"
xvfb-run -a -s "-screen 0 1366x768x24" "$shots" "$out/1366x768"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1920x1080x24" "$shots" "$out/scale2"
xvfb-run -a -s "-screen 0 1280x800x24" "$shots" "$out/dark" --dark
