#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the viewer. Without a display, runs it on
# a private X server and saves a screenshot of the preview window.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
mkdir -p build
QUELVARO_LOG=$PWD/build/setup.log ensure_packages build run
build_program

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec build/quelvaro
fi

echo "No display: running on a private X server."
# The end-to-end tests' X server, window manager and waits; they end it all when this script ends.
QUELVARO=build/quelvaro
source tests/e2e/lib.sh
fail() {
    echo "run.sh: $*" >&2
    exit 1
}
start_x
start_app
if ! window=$(wait_preview 30 2>/dev/null); then
    cat "$E2E_TMP/app.log" >&2
    fail "the preview window did not appear, or was never drawn, on the private X server $DISPLAY"
fi
import -frame -window "$window" build/screenshot.png
echo "Screenshot of the preview window: $(pwd)/build/screenshot.png"
