#!/usr/bin/env bash
# At a scale factor of 2 the real program's windows are exactly twice their size in device pixels,
# laid out as at 1 in logical pixels, with the credits picture from its 2x file; the windows carry
# the application's icon and its name as their class.
source "$(dirname "$0")/lib.sh"
assets=$(cd "$(dirname "$0")/../../assets" && pwd)

start_x
use_fixed_fonts
export QT_SCALE_FACTOR=2
# Started under another file name: the window class must come from the application's name.
ln -s "$QUELVARO" "$E2E_TMP/visor"
QUELVARO=$E2E_TMP/visor
start_app

win=$(wait_preview 20 2)
[ "$(client_size "$win")" = "722x860" ] || fail "preview window is $(client_size "$win"), not 722x860"
screenshot "$win" "$E2E_TMP/preview.png"

# Each logical pixel is a 2x2 block: the rules at logical rows 343 and 399 are 4 device rows thick
# and end at column 720; the sample box's frame starts at its left and top, and it ends at its
# right.
expect() {
    local got
    got=$(pixel "$E2E_TMP/preview.png" "$2" "$3")
    if [ "$1" = is ]; then [ "$got" = "$4" ]; else [ "$got" != "$4" ]; fi ||
        fail "preview pixel ($2,$3) is $got, expected $1 $4"
}
grey=192,192,192 black=0,0,0 white=255,255,255
expect is 6 120 $grey
expect is 360 685 $grey
for y in 686 687 688 689; do expect is 360 $y $black; done
expect is 360 690 $grey
expect is 719 687 $black
expect is 720 687 $grey
expect is 4 797 $grey
for y in 798 799 800 801; do expect is 4 $y $black; done
expect is 4 802 $grey
read -r left top width _ <<<"$(box txtvisu 2)"
expect is $((left - 1)) 300 $grey
expect not "$left" 300 $grey
expect is 300 $((top - 1)) $grey
expect not 300 "$top" $grey
expect is 40 380 $white
expect is 700 380 $white
expect is $((left + width)) 380 $grey
read -r sx sy sw sh <<<"$(interior txtvisu 2)"
text=$(count_colour "$E2E_TMP/preview.png" "$sx" "$sy" "$sw" "$sh" $black)
[ "$text" -gt 80 ] || fail "no black sample text in the doubled sample box ($text pixels)"

class=$(xprop -id "$win" WM_CLASS)
[[ $class == *'= "visor", "Quelvaro"' ]] || fail "window class is $class"
# At twice the density Qt offers each icon size twice as large: the drawn 64 and 128 pixel icons.
icons=$(icon_sizes "$win")
[[ " $icons " == *" 64x64 "*" 128x128 "* ]] || fail "preview window icons: $icons"

click_on "$win" cmdcerca 2
about=$(wait_window "Acerca De Quelvaro")
[ "$(client_size "$about")" = "722x490" ] || fail "about window is $(client_size "$about"), not 722x490"
icons=$(icon_sizes "$about")
[[ " $icons " == *" 64x64 "*" 128x128 "* ]] || fail "about window icons: $icons"

# The picture starts 8 logical pixels above the window: 16 rows of the 2x file are hidden.
convert "$assets/about@2x.png" -crop 722x490+0+16 +repage "$E2E_TMP/about-2x.png"
convert "$assets/about.png" -scale 200% -crop 722x490+0+16 +repage "$E2E_TMP/about-1x-enlarged.png"
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
about_drawn() {
    screenshot "$about" "$E2E_TMP/about.png" || return 1
    off=$(differing "$E2E_TMP/about.png" "$E2E_TMP/about-2x.png")
    [ "$off" = 0 ] || { echo "the about window differs from about@2x.png in $off pixels" >&2; return 1; }
}
eventually 5 about_drawn
enlarged=$(differing "$E2E_TMP/about.png" "$E2E_TMP/about-1x-enlarged.png")
[ "$enlarged" -gt 10000 ] || fail "the window barely differs from the 1x picture enlarged ($enlarged pixels)"

wmctrl -c "Acerca De Quelvaro"
eventually 5 window_gone "Acerca De Quelvaro"
# The preview takes clicks again once the about window is gone.
click_on "$win" Cmdsalir 2
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
echo "hidpi: passed"
