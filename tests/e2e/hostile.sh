#!/usr/bin/env bash
# The real program where no display can be opened ends at once with one line and status 1; on a
# fontconfig set of broken, odd and enormous fonts it starts, steps automatic viewing through
# the whole list and is still alive and responsive at the end.
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)

no_display() {
    local status=0
    env -u WAYLAND_DISPLAY "$@" "$QUELVARO" >"$E2E_TMP/out" 2>"$E2E_TMP/err" </dev/null || status=$?
    [ "$status" = 1 ] || fail "with $*: status $status, not 1"
    [ ! -s "$E2E_TMP/out" ] || fail "with $*: wrote to standard output"
    [ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "with $*: not one line on standard error: $(cat "$E2E_TMP/err")"
    grep -q '^quelvaro: no se puede abrir la pantalla' "$E2E_TMP/err" || fail "with $*: $(cat "$E2E_TMP/err")"
}
unused=$(for n in $(seq 4000 4100); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; break; }; done)
no_display -u DISPLAY QT_QPA_PLATFORM=xcb
no_display DISPLAY=":$unused" QT_QPA_PLATFORM=xcb
grep -q "pantalla X (DISPLAY=:$unused)" "$E2E_TMP/err" || fail "the line does not name the X display: $(cat "$E2E_TMP/err")"
# Under Wayland the line names the Wayland display, and nothing of X.
no_display XDG_RUNTIME_DIR="$E2E_TMP" WAYLAND_DISPLAY=quelvaro-none QT_QPA_PLATFORM=wayland
grep -q "pantalla Wayland (WAYLAND_DISPLAY=quelvaro-none)\$" "$E2E_TMP/err" || fail "the line does not name the Wayland display: $(cat "$E2E_TMP/err")"

/usr/bin/python3 "$root/tests/hostile/make-fonts.py" "$E2E_TMP/hostile" >/dev/null
use_fonts "$E2E_TMP/hostile/fonts/"*
# What the list should hold: each family fontconfig reports, case-insensitively once.
families=$(fc-list --format $'%{family[0]}\036' | tr '\036' '\0' | sort -zfu | tr -cd '\0' | wc -c)
[ "$families" -ge 14 ] || fail "fontconfig reports only $families families in the hostile set"
count=$families

start_x
start_app
win=$(wait_preview 60)

# Automatic viewing through every entry and one more, noting each picture of the sample.
list_edge "$win" "$E2E_TMP/edge-enabled.png"
click_on "$win" cmdviau
changes "$win" "$(interior txtvisu)" "$(((count + 1) * 3 / 4 + 1))" >"$E2E_TMP/sample-changes" &
watcher=$!
while running "$watcher"; do
    running "$APP_PID" || fail "the program ended during automatic viewing: $(cat "$E2E_TMP/app.log")"
    sleep 0.2
done
wait "$watcher"
changes=$(wc -l <"$E2E_TMP/sample-changes")
# Fonts that cannot draw the sample fall back to the same face: fewer changes than entries.
[ "$changes" -ge $((count / 2)) ] || fail "the sample changed $changes times over $count entries"

stop_viewing "$win" 5

# Still answering: automatic viewing starts again, and Salir ends the program.
# Neighbours that all fall back to one face look alike: wait for up to six steps.
click_on "$win" cmdviau
moved() {
    sample_differs "$win" "$E2E_TMP/stop2.png" || { echo "automatic viewing does not start again" >&2; return 1; }
}
eventually 5 moved
click_on "$win" cmdfinau
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 20
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS: $(cat "$E2E_TMP/app.log")"
! grep -E 'Sanitizer|runtime error:' "$E2E_TMP/app.log" || fail "a sanitizer reported"
echo "hostile: passed ($count entries, $changes changes of the sample)"
