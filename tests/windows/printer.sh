#!/usr/bin/env bash
# The real Windows program with a real default printer: the queue of a private print server, which
# Wine reaches through CUPS_SERVER. The program lists the printer's families once each, with the
# PostScript device families that only the printer has, and its count label says how many; the
# same prefix without the printer lists the screen's families. They are checked against what GDI
# itself reports in the same prefix, read by gdifamilies.exe.
#   printer.sh ZIP GDIFAMILIES_EXE
source "$(dirname "$0")/../e2e/lib.sh" "$1"
source "$(dirname "$0")/../e2e/words.sh"
source "$(dirname "$0")/cups.sh"

start_x
use_desktop_fonts
# Wine writes the printer into the prefix at every start with CUPS_SERVER and takes it out at the
# next start without: this prefix is the test's own, never used with and without at once.
wine_prefix
cp "$2" "$WINEPREFIX/drive_c/gdifamilies.exe"
start_cups

# The families GDI reports for the default printer or the screen, once per family and character
# set, into a file with Linux line ends: gdi_families printer|screen FILE.
gdi_families() {
    wine 'C:\gdifamilies.exe' "$1" 'C:\families.txt' </dev/null >/dev/null 2>&1 || fail "GDI lists no $1 families"
    tr -d '\r' <"$WINEPREFIX/drive_c/families.txt" >"$2"
}

# The count label of a window reads a number of families.
count_reads() {
    caption_reads "$1" lblcant "^ *$2 fuentes listadas" || fail "the count label does not say $2 families"
}

export CUPS_SERVER=$CUPS_SOCKET
gdi_families printer "$E2E_TMP/printer-reported.txt"
sort -u "$E2E_TMP/printer-reported.txt" >"$E2E_TMP/printer.txt"
for family in Helvetica "Helvetica Narrow" "ITC Zapf Chancery" "New Century Schoolbook" Palatino Times; do
    grep -qx "$family" "$E2E_TMP/printer.txt" || fail "the printer offers no $family: $(paste -sd, "$E2E_TMP/printer.txt")"
done
printer_count=$(wc -l <"$E2E_TMP/printer.txt")
[ "$(wc -l <"$E2E_TMP/printer-reported.txt")" -gt "$printer_count" ] ||
    fail "GDI reported each of the printer's families once: nothing shows them listed once each"

start_app
win=$(wait_preview 30)
count_reads "$win" "$printer_count"
# A family only the printer has is in the font list: its first letter, which no other family
# starts with, chooses it.
choose_family "$win" P "Palatino"
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
wineserver --wait
stop_cups

unset CUPS_SERVER
gdi_families screen "$E2E_TMP/screen-reported.txt"
sort -u "$E2E_TMP/screen-reported.txt" >"$E2E_TMP/screen.txt"
start_app
win=$(wait_preview 30)
count_reads "$win" "$(wc -l <"$E2E_TMP/screen.txt")"
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 5
echo "printer: passed ($printer_count of the printer's families, $(wc -l <"$E2E_TMP/screen.txt") of the screen's)"
