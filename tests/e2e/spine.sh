#!/usr/bin/env bash
# The real program on an X server, on a desktop's fonts in a Spanish locale: the splash shows for
# its 100 ms without a frame, the preview window appears centred as laid out with its captions
# whole, follows a colour and a typed size, the sample box's context menu speaks Spanish, and the
# program ends on "Salir" and on the window manager's close.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/words.sh"

start_x
use_desktop_fonts
watch_clients
start_app_in es_ES
win=$(wait_preview)

# The splash came and went with no title bar or border, having asked for none in the Motif hints
# that some window managers go by alone. Its frame extents are read as the window manager sets them.
splash_id=$(awk -F'|' '$4 == "Form1" { print $1; exit }' "$E2E_TMP/clients")
[ -n "$splash_id" ] || fail "no splash among the windows: $(cat "$E2E_TMP/clients")"
splash_went() {
    grep -q "^$splash_id|gone|" "$E2E_TMP/clients" || { echo "the splash did not go: $(cat "$E2E_TMP/clients")" >&2; return 1; }
}
eventually 5 splash_went
[ "$(client_field "$splash_id" 5)" = "0,0,0,0" ] || fail "the splash has a frame: $(grep "^$splash_id|" "$E2E_TMP/clients")"
IFS=, read -r hint_flags _ decorations _ <<<"$(client_field "$splash_id" 6)"
[ -n "$hint_flags" ] && (((hint_flags & 2) && decorations == 0)) ||
    fail "the splash does not ask for no decorations: $(grep "^$splash_id|" "$E2E_TMP/clients")"
splash_ms=$(($(awk -F'|' -v id="$splash_id" '$1 == id && $2 == "gone" { print $3 }' "$E2E_TMP/clients") -
    $(awk -F'|' -v id="$splash_id" '$1 == id && $2 == "shown" { print $3 }' "$E2E_TMP/clients")))

[ "$(client_size "$win")" = "361x430" ] || fail "client area is $(client_size "$win"), not 361x430"
# Centred on the 1280 x 1024 screen frame included: the frame's title bar puts the client area
# lower by half its height. Under Wine the frame centred is Windows' own for the window's style,
# whose caption is a few pixels taller than the window manager's title bar that replaces it; and
# it is the frame Windows 10 and 11 show, without their invisible resize borders (left, right and
# bottom, 8 pixels), which Wine has not drawn: the client area sits up to 4 pixels lower still.
read -r left top <<<"$(origin "$win")"
IFS=', ' read -r frame_left frame_right frame_top frame_bottom <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | cut -d= -f2)"
off_x=$((2 * left - frame_left + 361 + frame_right - 1280))
off_y=$((2 * top - frame_top + 430 + frame_bottom - 1024))
hidden_border=0
[[ $QUELVARO != *.exe ]] || hidden_border=8
[ "${off_x#-}" -le 4 ] && [ "$off_y" -ge -4 ] && [ "$off_y" -le $((4 + hidden_border)) ] ||
    fail "the preview's client area is at ($left,$top), its frame $frame_left, $frame_right, $frame_top, $frame_bottom: not centred"
# The window manager's resize is refused.
xdotool windowsize "$win" 600 700
settle
[ "$(client_size "$win")" = "361x430" ] || fail "the window manager resized the preview to $(client_size "$win")"
screenshot "$win" "$E2E_TMP/start.png"
[ "$(pixel "$E2E_TMP/start.png" 3 60)" = "192,192,192" ] || fail "background is $(pixel "$E2E_TMP/start.png" 3 60)"
[ "$(pixel "$E2E_TMP/start.png" 180 344)" = "0,0,0" ] || fail "no black rule at y 344"

# How many pixels of the sample are of a colour r,g,b, each channel taken as full or none at half
# way: a thin face draws few pixels of its text's colour exactly. sample_count FILE RGB.
sample_count() {
    local hex
    hex=$(IFS=, read -r r g b <<<"$2" && printf '#%02X%02X%02X' $((r > 127 ? 255 : 0)) $((g > 127 ? 255 : 0)) $((b > 127 ? 255 : 0)))
    convert "$1" -crop "${sw}x${sh}+${sx}+${sy}" +repage -channel RGB -threshold 50% +channel -depth 8 \
        -format %c histogram:info:- | awk -v hex="$hex" '$3 == hex { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# At first the sample's text is black and small.
read -r sx sy sw sh <<<"$(interior txtvisu)"
black=$(sample_count "$E2E_TMP/start.png" 0,0,0)
[ "$black" -gt 20 ] || fail "no black sample text ($black pixels)"
# The size box shows its "10", left of its arrow button; smoothed, as DirectWrite draws it under
# Wine, its digits have few pixels of exact black.
read -r zx zy zw zh <<<"$(interior CmbTama)"
digits=$(sx=$zx sy=$zy sw=$((zw / 2)) sh=$zh sample_count "$E2E_TMP/start.png" 0,0,0)
[ "$digits" -gt 5 ] || fail "the size box shows no text at start ($digits black pixels)"
text_reads "$win" "$zx $zy $((zw * 2 / 3)) $zh" '^ *10\b' || fail "the size box does not read 10 at start"
preview_captions_whole "$win" 2>"$E2E_TMP/captions.err" || fail "a caption of the preview is not whole: $(cat "$E2E_TMP/captions.err")"
captions_sans_serif "$win" 2>"$E2E_TMP/captions.err" || fail "the captions are not sans-serif: $(cat "$E2E_TMP/captions.err")"

# A face that scales, for the typed size below: the first family listed may be one of Wine's, which
# are drawn from bitmaps at a few sizes only. Its first letter chooses a DejaVu family.
choose_family "$win" D "(TeX Gyre|Sans|Serif)"

sample_menu_says "$win" 1 Deshacer Copiar Pegar -- Undo Copy Paste

# Pictures the preview into a file and counts the sample's pixels of colour r,g,b into $drawn;
# succeeds when there are more than a number of them, else says why not:
# sample_colour FILE RGB MORE_THAN WHY.
sample_colour() {
    screenshot "$win" "$1" || return 1
    drawn=$(sample_count "$1" "$2")
    [ "$drawn" -gt "$3" ] || { echo "$4 ($drawn pixels of $2)" >&2; return 1; }
}

# The list's own window, over the preview, once it has opened. The windows are looked for by the
# preview's process, which Wine 10 starts apart from the command that asked for it.
list_open() {
    [ "$(xdotool search --onlyvisible --pid "$(xdotool getwindowpid "$win")" 2>/dev/null | wc -l)" -ge 2 ] ||
        { echo "the colour list did not open" >&2; return 1; }
}

# "Rojo" is the ninth colour: open the list and step down to it.
click_on "$win" CmbColor
eventually 5 list_open
xdotool key --delay 30 Down Down Down Down Down Down Down Down Return
eventually 5 sample_colour "$E2E_TMP/red.png" 255,0,0 20 "choosing Rojo drew no red sample text"
red=$drawn
[ "$(sample_count "$E2E_TMP/red.png" 0,0,0)" -lt 5 ] || fail "black text left after Rojo"

# A typed size applies as it is typed.
click_on "$win" CmbTama
xdotool key ctrl+a
xdotool type --delay 50 36
eventually 5 sample_colour "$E2E_TMP/big.png" 255,0,0 $((red * 4)) "typing 36 did not enlarge the sample from $red red pixels"

click_on "$win" Cmdsalir
wait_exit "$APP_PID" 1
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"

# The window manager's close ends the program too.
start_app
wait_preview >/dev/null
wmctrl -c "$PREVIEW_TITLE"
wait_exit "$APP_PID" 2
[ "$EXIT_STATUS" = 0 ] || fail "closing the window ended with status $EXIT_STATUS"
echo "spine: passed (splash on screen $splash_ms ms)"
