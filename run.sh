#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the viewer. Without a display, runs it on
# a private X server and saves a screenshot of the preview window.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages
build_project

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec build/quelvaro
fi

echo "No display: running on a private X server."
Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>build/.xvfb-display 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s build/.xvfb-display ] && break; sleep 0.05; done
export DISPLAY=":$(cat build/.xvfb-display)"
openbox >/dev/null 2>&1 &
wm=$!
build/quelvaro &
app=$!
trap 'kill $app $wm $xvfb 2>/dev/null || true' EXIT
window=$(timeout 30 xdotool search --sync --name '^Quelvaro - Dorvane$' | head -n1)
sleep 1
import -frame -window "$window" build/screenshot.png
echo "Screenshot of the preview window: $(pwd)/build/screenshot.png"
