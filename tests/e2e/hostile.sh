#!/usr/bin/env bash
# The real program where no display can be opened ends at once with one line and status 1; on a
# set of broken, odd and enormous fonts it starts, steps automatic viewing through the whole list
# and is still alive and responsive at the end. The Windows program (its zip) meets the set under
# Wine as Windows fonts, installed in the prefix's Fonts folder and registered.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/words.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
under_wine=
[[ $QUELVARO != *.zip ]] || under_wine=1

# Whether the program is alive and has not crashed: Wine keeps a program that faulted waiting for
# its debugger, and says so first.
alive() {
    running "$APP_PID" && ! grep -q '^wine: Unhandled' "$E2E_TMP/app.log"
}

no_display() {
    local status=0
    env -u WAYLAND_DISPLAY "$@" "$QUELVARO" >"$E2E_TMP/out" 2>"$E2E_TMP/err" </dev/null || status=$?
    [ "$status" = 1 ] || fail "with $*: status $status, not 1"
    [ ! -s "$E2E_TMP/out" ] || fail "with $*: wrote to standard output"
    [ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "with $*: not one line on standard error: $(cat "$E2E_TMP/err")"
    grep -q '^quelvaro: no se puede abrir la pantalla' "$E2E_TMP/err" || fail "with $*: $(cat "$E2E_TMP/err")"
}
if [ -z "$under_wine" ]; then
    unused=$(for n in $(seq 4000 4100); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; break; }; done)
    no_display -u DISPLAY QT_QPA_PLATFORM=xcb
    no_display DISPLAY=":$unused" QT_QPA_PLATFORM=xcb
    grep -q "pantalla X (DISPLAY=:$unused)" "$E2E_TMP/err" || fail "the line does not name the X display: $(cat "$E2E_TMP/err")"
    # Under Wayland the line names the Wayland display, and nothing of X.
    no_display XDG_RUNTIME_DIR="$E2E_TMP" WAYLAND_DISPLAY=quelvaro-none QT_QPA_PLATFORM=wayland
    grep -q "pantalla Wayland (WAYLAND_DISPLAY=quelvaro-none)\$" "$E2E_TMP/err" || fail "the line does not name the Wayland display: $(cat "$E2E_TMP/err")"
fi

/usr/bin/python3 "$root/tests/hostile/make-fonts.py" "$E2E_TMP/hostile" >/dev/null
start_x
if [ -n "$under_wine" ]; then
    # As a Windows setup installs them: each file in the Fonts folder, where GDI finds it, and named
    # under HKLM's Fonts key, where DirectWrite does. Through fontconfig Wine would take one fewer,
    # as it passes over faces without outlines there; here it offers none. Wine's own fonts go
    # beside them, as Windows has its system's, for the captions and the count label to read.
    use_fonts
    WINE_OWN_FONTS=1
    mkdir -p "$E2E_TMP/wine/drive_c/windows/Fonts"
    cp "$E2E_TMP/hostile/fonts/"* "$E2E_TMP/wine/drive_c/windows/Fonts/"
    wine_prefix
    {
        echo REGEDIT4
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]'
        for f in "$E2E_TMP/hostile/fonts/"*; do echo "\"${f##*/} (TrueType)\"=\"${f##*/}\""; done
    } >"$WINEPREFIX/drive_c/hostile.reg"
    wine reg import 'C:\hostile.reg' </dev/null >"$E2E_TMP/reg.log" 2>&1 || fail "cannot register the fonts: $(cat "$E2E_TMP/reg.log")"
else
    use_fonts "$E2E_TMP/hostile/fonts/"*
    # What the list should hold: each family fontconfig reports, case-insensitively once.
    families=$(fc-list --format $'%{family[0]}\036' | tr '\036' '\0' | sort -zfu | tr -cd '\0' | wc -c)
    [ "$families" -ge 14 ] || fail "fontconfig reports only $families families in the hostile set"
    count=$families
fi

start_app
win=$(wait_preview 60)
if [ -n "$under_wine" ]; then
    # What Wine lets through is the list: its count label says how long it is, and the set's own
    # families are in it, chosen by their initial, which no family of Wine's has. The letter is
    # typed again until one shows, as a key that comes before the list has the focus is lost; on a
    # loaded machine each reading takes seconds.
    eventually 30 caption_reads "$win" lblcant '^ *[0-9]+ fuentes listadas'
    count=$(grep -Eo '[0-9]+' <<<"$TEXT_READ" | head -n1)
    read -r lx ly lw lh <<<"$(interior CmbNDL)"
    hostile_chosen() {
        xdotool windowactivate --sync "$win" key H
        text_reads "$win" "$((lx + 3)) $((ly + 3)) $((lw - 40)) $((lh - 6))" 'ostil'
    }
    eventually 40 hostile_chosen
    alive || fail "the program ended or crashed choosing a family: $(cat "$E2E_TMP/app.log")"
fi

# Automatic viewing through every entry and one more, noting each picture of the sample.
list_edge "$win" "$E2E_TMP/edge-enabled.png"
click_on "$win" cmdviau
changes "$win" "$(interior txtvisu)" "$(((count + 1) * 3 / 4 + 1))" >"$E2E_TMP/sample-changes" &
watcher=$!
while running "$watcher"; do
    alive || fail "the program ended or crashed during automatic viewing: $(cat "$E2E_TMP/app.log")"
    sleep 0.2
done
# A window gone under the watcher is the program's end.
if ! wait "$watcher"; then
    alive || fail "the program ended or crashed during automatic viewing: $(cat "$E2E_TMP/app.log")"
    fail "the sample could not be watched"
fi
changes=$(wc -l <"$E2E_TMP/sample-changes")
# Fonts that cannot draw the sample fall back to the same face: fewer changes than entries. Under
# Wine, Qt's DirectWrite font database takes fewer of the set's broken faces than fontconfig does,
# and more entries fall back to one face: a third of them change the sample there.
share=2
[ -z "$under_wine" ] || share=3
[ "$changes" -ge $((count / share)) ] || fail "the sample changed $changes times over $count entries"

stop_viewing "$win" 5

# Still answering: automatic viewing starts again, and Salir ends the program.
# Neighbours that all fall back to one face look alike: wait for up to six steps.
click_on "$win" cmdviau
moved() {
    alive || fail "the program ended or crashed: $(cat "$E2E_TMP/app.log")"
    sample_differs "$win" "$E2E_TMP/stop2.png" || { echo "automatic viewing does not start again" >&2; return 1; }
}
eventually 5 moved
click_on "$win" cmdfinau
click_on "$win" Cmdsalir
ended() {
    ! grep -q '^wine: Unhandled' "$E2E_TMP/app.log" || fail "the program crashed on Salir: $(cat "$E2E_TMP/app.log")"
    ! running "$APP_PID" || { echo "the program still runs after Salir: $(cat "$E2E_TMP/app.log")" >&2; return 1; }
}
eventually 20 ended
wait_exit "$APP_PID" 1
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS: $(cat "$E2E_TMP/app.log")"
! grep -E 'Sanitizer|runtime error:' "$E2E_TMP/app.log" || fail "a sanitizer reported"
echo "hostile: passed ($count entries, $changes changes of the sample)"
