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

win=$(wait_window "$PREVIEW_TITLE")
[ "$(client_size "$win")" = "722x860" ] || fail "preview window is $(client_size "$win"), not 722x860"
wait_pixel "$win" 6 120 192,192,192
screenshot "$win" "$E2E_TMP/preview.png"

# Each logical pixel is a 2x2 block: the rules at logical rows 343 and 399 are 4 device rows thick
# and end at column 720; the sample box's frame starts at column 16 and row 192.
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
expect is 15 300 $grey
expect not 16 300 $grey
expect is 300 191 $grey
expect not 300 192 $grey
expect is 40 380 $white
expect is 700 380 $white
expect is 706 380 $grey
text=$(count_colour "$E2E_TMP/preview.png" 20 196 680 200 $black)
[ "$text" -gt 80 ] || fail "no black sample text in the doubled sample box ($text pixels)"

class=$(xprop -id "$win" WM_CLASS)
[[ $class == *'= "visor", "Quelvaro"' ]] || fail "window class is $class"
# At twice the density Qt offers each icon size twice as large: the drawn 64 and 128 pixel icons.
icons=$(icon_sizes "$win")
[[ " $icons " == *" 64x64 "*" 128x128 "* ]] || fail "preview window icons: $icons"

# "Acerca De..." at logical (92, 372).
click "$win" 184 744
about=$(wait_window "Acerca De Quelvaro")
[ "$(client_size "$about")" = "722x490" ] || fail "about window is $(client_size "$about"), not 722x490"
icons=$(icon_sizes "$about")
[[ " $icons " == *" 64x64 "*" 128x128 "* ]] || fail "about window icons: $icons"

# The picture starts 8 logical pixels above the window: 16 rows of the 2x file are hidden.
convert "$assets/about@2x.png" -crop 722x490+0+16 +repage "$E2E_TMP/about-2x.png"
convert "$assets/about.png" -scale 200% -crop 722x490+0+16 +repage "$E2E_TMP/about-1x-enlarged.png"
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
for _ in $(seq 50); do
    screenshot "$about" "$E2E_TMP/about.png"
    off=$(differing "$E2E_TMP/about.png" "$E2E_TMP/about-2x.png")
    [ "$off" = 0 ] && break
    sleep 0.1
done
[ "$off" = 0 ] || fail "the about window differs from about@2x.png in $off pixels"
enlarged=$(differing "$E2E_TMP/about.png" "$E2E_TMP/about-1x-enlarged.png")
[ "$enlarged" -gt 10000 ] || fail "the window barely differs from the 1x picture enlarged ($enlarged pixels)"

wmctrl -c "Acerca De Quelvaro"
for _ in $(seq 50); do window_exists "Acerca De Quelvaro" || break; sleep 0.1; done
window_exists "Acerca De Quelvaro" && fail "the about window did not close"
# "Salir" at logical (268, 372); the preview takes clicks again once the about window is gone.
click "$win" 536 744
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
echo "hidpi: passed"
