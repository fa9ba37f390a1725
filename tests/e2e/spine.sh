#!/usr/bin/env bash
# The real program on an X server: the preview window appears as laid out, follows a colour and a
# typed size, and ends on "Salir" and on the window manager's close.
source "$(dirname "$0")/lib.sh"

start_x
use_fixed_fonts
start_app
win=$(wait_preview)

[ "$(client_size "$win")" = "361x430" ] || fail "client area is $(client_size "$win"), not 361x430"
screenshot "$win" "$E2E_TMP/start.png"
[ "$(pixel "$E2E_TMP/start.png" 3 60)" = "192,192,192" ] || fail "background is $(pixel "$E2E_TMP/start.png" 3 60)"
[ "$(pixel "$E2E_TMP/start.png" 180 344)" = "0,0,0" ] || fail "no black rule at y 344"

# The sample box: 8,96 345x105. At first its text is black and small.
black=$(count_colour "$E2E_TMP/start.png" 10 98 340 100 0,0,0)
[ "$black" -gt 20 ] || fail "no black sample text ($black pixels)"

# "Rojo" is the ninth colour: open the list and step down to it.
click "$win" 110 82
sleep 0.3
xdotool key --delay 30 Down Down Down Down Down Down Down Down Return
sleep 0.3
screenshot "$win" "$E2E_TMP/red.png"
red=$(count_colour "$E2E_TMP/red.png" 10 98 340 100 255,0,0)
[ "$red" -gt 20 ] || fail "choosing Rojo drew no red sample text ($red pixels)"
[ "$(count_colour "$E2E_TMP/red.png" 10 98 340 100 0,0,0)" -lt 5 ] || fail "black text left after Rojo"

# A typed size applies as it is typed.
click "$win" 310 82
xdotool key ctrl+a
xdotool type --delay 50 36
sleep 0.3
screenshot "$win" "$E2E_TMP/big.png"
big=$(count_colour "$E2E_TMP/big.png" 10 98 340 100 255,0,0)
[ "$big" -gt $((red * 4)) ] || fail "typing 36 did not enlarge the sample ($red -> $big red pixels)"

click "$win" 268 372
wait_exit "$APP_PID" 1
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"

# The window manager's close ends the program too.
start_app
wait_window "$PREVIEW_TITLE" >/dev/null
sleep 0.3
wmctrl -c "$PREVIEW_TITLE"
wait_exit "$APP_PID" 2
[ "$EXIT_STATUS" = 0 ] || fail "closing the window ended with status $EXIT_STATUS"
echo "spine: passed"
