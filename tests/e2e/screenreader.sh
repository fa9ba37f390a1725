#!/usr/bin/env bash
# The real program over AT-SPI, as a screen reader meets it: on a private X server, in a private
# D-Bus session with its own accessibility bus (screenreader.py has the checks), with Orca running.
source "$(dirname "$0")/lib.sh"
if [ -z "${QUELVARO_DBUS_SESSION:-}" ]; then
    QUELVARO_DBUS_SESSION=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
start_x
use_fixed_fonts
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/at-spi.log" 2>&1 &
E2E_PIDS+=($!)
# Orca listens too, and the checks hear what it says: its speech goes to its debug log, with or
# without a speech server, a line at a time (set from Orca's own customisation file).
mkdir -p "$E2E_TMP/orca"
cat >"$E2E_TMP/orca/orca-customizations.py" <<'PY'
import orca.debug
if orca.debug.debugFile:
    orca.debug.debugFile.reconfigure(line_buffering=True)
PY
GSETTINGS_BACKEND=memory orca -u "$E2E_TMP/orca" --debug-file "$E2E_TMP/orca.log" >"$E2E_TMP/orca.out" 2>&1 &
E2E_PIDS+=($!)
orca_listens() {
    /usr/bin/python3 -c '
import sys
from gi.repository import Gio
session = Gio.bus_get_sync(Gio.BusType.SESSION)
address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None, 0, -1).unpack()[0]
bus = Gio.DBusConnection.new_for_address_sync(address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                                              | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
events = bus.call_sync("org.a11y.atspi.Registry", "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                       "GetRegisteredEvents", None, None, 0, -1).unpack()[0]
sys.exit(0 if any(name.startswith("Object:TextChanged") for _, name in events) else 1)' ||
        { echo "Orca is not listening: $(tail -n3 "$E2E_TMP/orca.out")" >&2; return 1; }
}
eventually 30 orca_listens
/usr/bin/python3 "$(dirname "$0")/screenreader.py" "$QUELVARO" "$E2E_TMP/orca.log"
