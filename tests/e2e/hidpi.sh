#!/usr/bin/env bash
# At a scale factor of 2 the real program's windows are exactly twice their size in device pixels,
# laid out as at 1 in logical pixels, with the credits picture from its 2x file; the windows carry
# the application's icon and its name as their class. The Windows program under Wine is run at the
# system's 120 and 144 dpi (125 and 150 %) instead: see wine_scaling.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/words.sh"
assets=$(cd "$(dirname "$0")/../../assets" && pwd)

# A control's box at a resolution, "x y width height" in device pixels: scaled_box NAME DPI.
scaled_box() {
    local -a t
    read -r -a t <<<"${LAYOUT[$1]}"
    echo "$((t[0] * $2 / 1440)) $((t[1] * $2 / 1440)) $((t[2] * $2 / 1440)) $((t[3] * $2 / 1440))"
}

# Whether two numbers are at most a distance apart: near A B DISTANCE.
near() {
    local d=$(($1 - $2))
    [ "${d#-}" -le "$3" ]
}

# The Windows program at the resolution Windows is set to (LogPixels): the preview's client area
# is its 5415 x 6450 twips at that resolution, centred frame included; its captions are whole; a
# click lands on the control drawn there; the about window shows the 2x credits picture reduced,
# not the 1x one enlarged into blocks.
wine_scaling() {
    local dpi=$1 win about area w h left top frame_left frame_right frame_top frame_bottom x y
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1 ||
        fail "cannot set the resolution to $dpi dpi"
    wineserver --wait
    start_app
    win=$(wait_window "$PREVIEW_TITLE" 30)
    wait_pixel "$win" $((3 * dpi / 96)) $((60 * dpi / 96)) 192,192,192 10
    area=$(client_size "$win")
    IFS=x read -r w h <<<"$area"
    near "$((w * 1440))" "$((5415 * dpi))" 1440 && near "$((h * 1440))" "$((6450 * dpi))" 1440 ||
        fail "at $dpi dpi the preview's client area is ${w}x$h, not 5415 x 6450 twips"
    read -r left top <<<"$(origin "$win")"
    IFS=', ' read -r frame_left frame_right frame_top frame_bottom <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | cut -d= -f2)"
    # Windows' caption, which the window is centred with, grows with the resolution; the window
    # manager's title bar that replaces it does not. The frame centred leaves out the invisible
    # resize borders of Windows 10 and 11 (8 pixels at 96 dpi), which Wine has not drawn: the client
    # area sits up to half of them lower (see spine.sh).
    off_y=$((2 * top - frame_top + h + frame_bottom - 1024))
    near $((2 * left - frame_left + w + frame_right)) 1280 4 && [ "$off_y" -ge $((-dpi / 8)) ] &&
        [ "$off_y" -le $((dpi / 8 + dpi / 12)) ] ||
        fail "at $dpi dpi the preview's client area is at ($left,$top), its frame $frame_left, $frame_right, $frame_top, $frame_bottom: not centred"
    # At 120 dpi the buttons' 8 points are 13 pixels, where Wine's Tahoma draws from bitmaps of its
    # own whose letters sit unevenly apart: "Inic iar", "Autom ática". Whole, but read with a letter
    # or two wrong.
    local row
    for row in "Label2|Color ?:" "Label3|Tama.{1,3}o ?:" "Label4|Visualizaci.{1,3}n Autom.{1,3}tica" \
        "cmdviau|Ini.{1,3}ar Visuali.{2,6}n Autom.{1,4}ica" "cmdcerca|Acerca De\.\.\." "Cmdsalir|Salir" \
        "csubra|Subrayada" "lblcant|[0-9]+ fuentes listadas"; do
        text_reads "$win" "$(scaled_box "${row%%|*}" "$dpi")" "${row#*|}" || fail "at $dpi dpi ${row%%|*} is not whole"
    done

    read -r x y w h <<<"$(scaled_box cmdcerca "$dpi")"
    click "$win" $((x + w / 2)) $((y + h / 2))
    about=$(wait_window "Acerca De Quelvaro" 10)
    IFS=x read -r w h <<<"$(client_size "$about")"
    # The picture starts 8 logical pixels above the window, which shows 361 x 245 of them.
    convert "$assets/about@2x.png" -crop 722x490+0+16 +repage -resize "${w}x$h!" "$E2E_TMP/about-2x.png"
    convert "$assets/about.png" -crop 361x245+0+8 +repage -scale "${w}x$h!" "$E2E_TMP/about-1x.png"
    about_drawn() {
        screenshot "$about" "$E2E_TMP/about.png" &&
            [ "$(pixel "$E2E_TMP/about.png" $((w / 2)) $((h / 2)))" != 255,255,255 ] || { echo "the about window is not drawn" >&2; return 1; }
    }
    eventually 5 about_drawn
    local from2x from1x
    from2x=$(compare -metric RMSE "$E2E_TMP/about.png" "$E2E_TMP/about-2x.png" null: 2>&1 | cut -d' ' -f1 || true)
    from1x=$(compare -metric RMSE "$E2E_TMP/about.png" "$E2E_TMP/about-1x.png" null: 2>&1 | cut -d' ' -f1 || true)
    awk -v a="$from2x" -v b="$from1x" 'BEGIN { exit !(a < b) }' ||
        fail "at $dpi dpi the about window is nearer the 1x picture enlarged ($from1x) than the 2x one ($from2x)"
    wmctrl -c "Acerca De Quelvaro"
    eventually 5 window_gone "Acerca De Quelvaro"
    read -r x y w h <<<"$(scaled_box Cmdsalir "$dpi")"
    click "$win" $((x + w / 2)) $((y + h / 2))
    wait_exit "$APP_PID" 5
    [ "$EXIT_STATUS" = 0 ] || fail "at $dpi dpi Salir ended with status $EXIT_STATUS"
    echo "hidpi: $dpi dpi passed (the preview's client area $area)"
}

start_x
if [[ $QUELVARO == *.zip ]]; then
    use_desktop_fonts
    wine_prefix
    for dpi in 120 144; do wine_scaling "$dpi"; done
    exit 0
fi
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
