#!/usr/bin/env bash
# Runs the Windows build's tests (CTest, with Wine as their runner) on a private X server with a
# window manager, as Qt's Windows plugin under Wine draws into X windows. Wine records the fonts it
# finds when a prefix is made, so the tests' prefix is made anew on the fixed font set each run.
# The Wine server is started here, apart from the tests: started by the first test, it would hold
# that test's output open and CTest would wait for it.
#   tests/windows/run.sh BUILD_DIR [ctest arguments]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/../e2e/lib.sh" "$build/quelvaro.exe"
start_x
export WINEPREFIX=$build/wine-tests WINEDEBUG=-all FONTCONFIG_FILE=$build/tests/fonts.conf
rm -rf "$WINEPREFIX"
wineboot --init </dev/null >"$E2E_TMP/wineboot.log" 2>&1 || { cat "$E2E_TMP/wineboot.log" >&2; fail "wineboot failed"; }
wineserver --wait
[ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix in $WINEPREFIX"
wineserver --persistent </dev/null >/dev/null 2>&1
trap 'wineserver --kill 2>/dev/null || true; e2e_cleanup' EXIT
ctest --test-dir "$build" --output-on-failure "$@"
