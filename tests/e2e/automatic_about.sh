#!/usr/bin/env bash
# Automatic viewing steps the sample through the fonts about every 750 ms with the font list greyed;
# the about window keeps the preview from reacting, even to a close request, until it is closed.
# On a desktop's fonts, in an English locale: the sample box's context menu speaks English.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/words.sh"
assets=$(cd "$(dirname "$0")/../../assets" && pwd)

start_x
use_desktop_fonts
start_app_in en_US
win=$(wait_preview)

# Whether the font list of the preview no longer looks as before automatic viewing.
list_greyed() {
    crop "$win" CmbNDL "$E2E_TMP/list-during.png" || return 1
    ! same "$E2E_TMP/list-before.png" "$E2E_TMP/list-during.png" || { echo "the font list did not grey out" >&2; return 1; }
}

crop "$win" CmbNDL "$E2E_TMP/list-before.png"
list_edge "$win" "$E2E_TMP/edge-enabled.png"
click_on "$win" cmdviau
# At once, not with the first step 750 ms on.
eventually 0.6 list_greyed

# Each step shows the next name in the greyed font list and draws the sample in that font. Over
# six and a half seconds the moments the list changes give the interval as their average, as a
# loaded machine may see any one of them late; the exact interval is the timer's unit test's.
changes "$win" "$(interior CmbNDL)" 6.5 >"$E2E_TMP/list-changes" &
watcher=$!
changes "$win" "$(interior txtvisu)" 6.5 >"$E2E_TMP/sample-changes"
wait "$watcher"
mapfile -t steps <"$E2E_TMP/list-changes"
n=${#steps[@]}
[ "$n" -ge 6 ] || fail "the font list changed $n times in 6.5 s: ${steps[*]}"
average=$(((steps[n - 1] - steps[0]) / (n - 1)))
[ "$average" -ge 675 ] && [ "$average" -le 825 ] ||
    fail "the steps came every $average ms on average, not 750 ms (list changed at ${steps[*]} ms)"
# Two faces may draw the sample alike (Wine adds faces of its own), so not every step shows there.
sample_steps=$(wc -l <"$E2E_TMP/sample-changes")
[ "$sample_steps" -ge $((n / 2)) ] || fail "the sample changed $sample_steps times over $n steps"

# Stopping holds the last font.
stop_viewing "$win" 2

# The about window.
for control in Label2 Label3 cnegri; do crop "$win" "$control" "$E2E_TMP/$control-enabled.png"; done
click_on "$win" cmdcerca
about=$(wait_window "Acerca De Quelvaro")
# Drawn: the middle of the window shows the credits picture, which starts 8 pixels above it.
wait_pixel "$about" 180 120 "$(pixel "$assets/about.png" 180 128)"
[ "$(client_size "$about")" = "361x245" ] || fail "about window is $(client_size "$about")"
# The disabled preview ignores input but looks as it did, once drawn again (with the about window
# away from it, where Wine puts it over the preview).
xdotool windowmove "$about" 0 0
looks_as_before() {
    crop "$win" "$1" "$E2E_TMP/$1-disabled.png" &&
        same "$E2E_TMP/$1-enabled.png" "$E2E_TMP/$1-disabled.png" || { echo "$1 looks different in the disabled preview" >&2; return 1; }
}
for control in Label2 Label3 cnegri; do eventually 3 looks_as_before "$control"; done
wmctrl -c "$PREVIEW_TITLE"
settle
window_exists "$PREVIEW_TITLE" || fail "the preview window closed while the about window was open"
kill -0 "$APP_PID" || fail "the program ended while the about window was open"
# Moved over the preview's top, as a person might, the about window stays in front of the
# preview when the preview is clicked: the screen still shows its picture there.
read -r px py <<<"$(origin "$win")"
xdotool windowmove "$about" "$px" "$py"
about_in_front() {
    local ax ay
    read -r ax ay <<<"$(origin "$about")"
    [ "$ay" -lt $((py + 200)) ] || { echo "the about window was not moved over the preview" >&2; return 1; }
    import -window root "$E2E_TMP/screen.png"
    [ "$(pixel "$E2E_TMP/screen.png" $((ax + 180)) $((ay + 120)))" = "$(pixel "$assets/about.png" 180 128)" ] ||
        { echo "the about window is not in front at ($ax,$ay)" >&2; return 1; }
}
eventually 5 about_in_front
click_on "$win" Cmdsalir
settle
kill -0 "$APP_PID" || fail "Salir reacted while the about window was open"
about_in_front || fail "clicking the disabled preview hid the about window behind it"
# Underlining changes the sample in any face; a face without a bold of its own may look the same bold.
sample "$win" "$E2E_TMP/before-underline.png"
click_on "$win" csubra
settle
sample "$win" "$E2E_TMP/after-disabled-click.png"
same "$E2E_TMP/before-underline.png" "$E2E_TMP/after-disabled-click.png" ||
    fail "Subrayada reacted while the about window was open"
# Minimised, the about window still keeps the preview from taking input.
xdotool windowminimize "$about"
eventually 5 window_gone "Acerca De Quelvaro"
click_on "$win" Cmdsalir
settle
kill -0 "$APP_PID" || fail "Salir reacted while the about window was minimised"

wmctrl -c "Acerca De Quelvaro"
eventually 5 window_gone "Acerca De Quelvaro"
click_on "$win" csubra
underlined() {
    sample_differs "$win" "$E2E_TMP/before-underline.png" ||
        { echo "the preview does not respond after the about window closed" >&2; return 1; }
}
eventually 5 underlined

sample_menu_says "$win" 1 Undo Copy Paste -- Deshacer Copiar Pegar
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 1
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
echo "automatic_about: passed (a step every $average ms over $((n - 1)) steps)"
