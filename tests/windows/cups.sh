# Sourced by the Windows end-to-end tests after lib.sh: a private print server of the test's own,
# on a socket in its folder, with one queue made the default; no TCP port and no system cupsd.
# Wine loads libcups in every process and asks the server named by CUPS_SERVER, where it is set.

# Starts the server and sets CUPS_SOCKET; the queue "Prueba" is the server's default printer.
start_cups() {
    local root=$E2E_TMP/cups
    mkdir -p "$root"/{spool,tmp,cache,state,ppd,log}
    CUPS_SOCKET=$root/cups.sock
    cat >"$root/cups-files.conf" <<CONF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
DataDir /usr/share/cups
ServerBin /usr/lib/cups
SystemGroup root
FileDevice Yes
CONF
    cat >"$root/cupsd.conf" <<CONF
Listen $CUPS_SOCKET
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
    cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
    CUPS_PID=$!
    E2E_PIDS+=("$CUPS_PID")
    eventually 20 cups_answers
    lpadmin -h "$CUPS_SOCKET" -p Prueba -E -v file:///dev/null -m drv:///sample.drv/generic.ppd ||
        fail "cannot add the queue: $(cat "$root/log/error_log" 2>/dev/null)"
    lpadmin -h "$CUPS_SOCKET" -d Prueba || fail "cannot make the queue the default"
}

cups_answers() {
    [ -S "$CUPS_SOCKET" ] && lpstat -h "$CUPS_SOCKET" -r 2>/dev/null | grep -q 'is running' ||
        { echo "the print server does not answer on $CUPS_SOCKET: $(cat "$E2E_TMP/cups/log/cupsd.out" 2>/dev/null)" >&2; return 1; }
}

stop_cups() {
    kill "$CUPS_PID" 2>/dev/null || true
    wait "$CUPS_PID" 2>/dev/null || true
}
