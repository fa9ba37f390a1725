#!/usr/bin/env bash
# Runs the Windows build's tests (CTest, with Wine as their runner) on a private X server with a
# window manager, as Qt's Windows plugin under Wine draws into X windows. Wine records the fonts it
# finds when a prefix is made, so the tests' prefix is made anew on the fixed font set each run.
# One Wine server, started here, serves every test, so that each does not start and end its own.
#   tests/windows/run.sh BUILD_DIR [ctest arguments]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/../e2e/lib.sh" "$build/quelvaro.exe"
start_x
export FONTCONFIG_FILE=$build/tests/fonts.conf
rm -rf "$build/wine-tests"
wine_prefix "$build/wine-tests"
wineserver --persistent </dev/null >/dev/null 2>&1
trap 'wineserver --kill 2>/dev/null || true; e2e_cleanup' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
