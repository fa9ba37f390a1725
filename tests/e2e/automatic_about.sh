#!/usr/bin/env bash
# Automatic viewing steps the sample through the fonts about every 750 ms with the font list greyed;
# the about window keeps the preview from reacting, even to a close request, until it is closed.
source "$(dirname "$0")/lib.sh"

start_x
use_fixed_fonts
start_app
win=$(wait_preview)

import -window "$win" -crop 345x21+8+40 +repage "$E2E_TMP/list-before.png"
click "$win" 180 284
sleep 0.1
import -window "$win" -crop 345x21+8+40 +repage "$E2E_TMP/list-during.png"
same "$E2E_TMP/list-before.png" "$E2E_TMP/list-during.png" && fail "the font list did not grey out"

# Note when the sample changes over about four seconds.
sample "$E2E_TMP/s0.png"
start=$(date +%s%N)
changes=()
prev="$E2E_TMP/s0.png"
for i in $(seq 1 400); do
    sample "$E2E_TMP/s$i.png"
    now=$(date +%s%N)
    if ! same "$prev" "$E2E_TMP/s$i.png"; then changes+=($(((now - start) / 1000000))); fi
    prev="$E2E_TMP/s$i.png"
    [ $(((now - start) / 1000000)) -gt 4200 ] && break
done
[ "${#changes[@]}" -ge 4 ] || fail "the sample changed ${#changes[@]} times in 4 s: ${changes[*]}"
for ((k = 1; k < ${#changes[@]}; k++)); do
    step=$((changes[k] - changes[k - 1]))
    [ "$step" -ge 450 ] && [ "$step" -le 1100 ] || fail "steps of ${changes[*]} ms are not about 750 ms apart"
done

# Stopping holds the last font.
click "$win" 180 316
sleep 0.2
sample "$E2E_TMP/stop1.png"
sleep 1.6
sample "$E2E_TMP/stop2.png"
same "$E2E_TMP/stop1.png" "$E2E_TMP/stop2.png" || fail "the sample still changes after Finalizar"

# The about window.
click "$win" 92 372
about=$(wait_window "Acerca De Quelvaro")
sleep 0.3
[ "$(client_size "$about")" = "361x245" ] || fail "about window is $(client_size "$about")"
wmctrl -c "$PREVIEW_TITLE"
sleep 0.5
window_exists "$PREVIEW_TITLE" || fail "the preview window closed while the about window was open"
kill -0 "$APP_PID" || fail "the program ended while the about window was open"
click "$win" 268 372
sleep 0.5
kill -0 "$APP_PID" || fail "Salir reacted while the about window was open"
# Underlining changes the sample in any face; a face without a bold of its own may look the same bold.
sample "$E2E_TMP/before-bold.png"
click "$win" 300 216
sleep 0.3
sample "$E2E_TMP/after-disabled-click.png"
same "$E2E_TMP/before-bold.png" "$E2E_TMP/after-disabled-click.png" || fail "Subrayada reacted while the about window was open"

wmctrl -c "Acerca De Quelvaro"
sleep 0.5
window_exists "Acerca De Quelvaro" && fail "the about window did not close"
click "$win" 300 216
sleep 0.3
sample "$E2E_TMP/bold.png"
same "$E2E_TMP/before-bold.png" "$E2E_TMP/bold.png" && fail "the preview does not respond after the about window closed"

click "$win" 268 372
wait_exit "$APP_PID" 1
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
echo "automatic_about: passed"
