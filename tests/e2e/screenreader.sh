#!/usr/bin/env bash
# The real program over AT-SPI, as a screen reader meets it: on a private X server, in a private
# D-Bus session with its own accessibility bus (screenreader.py has the checks).
source "$(dirname "$0")/lib.sh"
if [ -z "${QUELVARO_DBUS_SESSION:-}" ]; then
    QUELVARO_DBUS_SESSION=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
start_x
use_fixed_fonts
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/at-spi.log" 2>&1 &
E2E_PIDS+=($!)
/usr/bin/python3 "$(dirname "$0")/screenreader.py" "$QUELVARO"
