# Sourced by the end-to-end tests: a private X server with a window manager, a fixed font set, and
# helpers to find, look at and drive the real program's windows as a person would.
set -euo pipefail

QUELVARO=${QUELVARO:-$1}
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
    [ -n "${E2E_KEEP:-}" ] && cp -r "$E2E_TMP" "$E2E_KEEP"
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -d "$E2E_TMP/wine" ]; then WINEPREFIX=$E2E_TMP/wine wineserver --kill 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Failures go to the standard error the script started with, even from a command whose own
# standard error is being kept (see eventually).
exec 9>&2
fail() {
    echo "FAIL: $*" >&9
    exit 1
}

# Xvfb on a free display, then openbox; returns once the window manager manages the screen.
# Other X servers may be starting on this machine at the same moment, so a display that turns out
# not to answer is given up and another one tried.
start_x() {
    local size=${1:-1280x1024x24} attempt xvfb wm
    for attempt in 1 2 3 4 5; do
        rm -f "$E2E_TMP/display"
        Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
        xvfb=$!
        E2E_PIDS+=("$xvfb")
        for _ in $(seq 200); do [ -s "$E2E_TMP/display" ] && break; sleep 0.05; done
        export DISPLAY=":$(cat "$E2E_TMP/display" 2>/dev/null)"
        if [ -s "$E2E_TMP/display" ] && xdpyinfo >/dev/null 2>&1; then
            # Openbox's defaults; a file that is not its configuration gets a syntax-error window.
            echo '<openbox_config xmlns="http://openbox.org/3.4/rc"/>' >"$E2E_TMP/openbox.xml"
            openbox --config-file "$E2E_TMP/openbox.xml" >"$E2E_TMP/openbox.log" 2>&1 &
            wm=$!
            E2E_PIDS+=("$wm")
            for _ in $(seq 200); do
                xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
                running "$wm" || break
                sleep 0.05
            done
            kill "$wm" 2>/dev/null || true
        fi
        kill "$xvfb" 2>/dev/null || true
        sleep 0.$((attempt * 2))
    done
    cat "$E2E_TMP/xvfb.log" "$E2E_TMP/openbox.log" >&2 2>/dev/null || true
    fail "no X server with a window manager after 5 attempts"
}

# The display watcher of xwatch.cpp, built once for this run into $E2E_TMP/xwatch.
build_xwatch() {
    [ -x "$E2E_TMP/xwatch" ] && return 0
    # Built under another name and moved into place, as two watchers may start at once.
    g++ -std=c++20 -O1 -o "$E2E_TMP/xwatch.$BASHPID" "$E2E_DIR/xwatch.cpp" -lxcb || fail "cannot build xwatch.cpp"
    mv -f "$E2E_TMP/xwatch.$BASHPID" "$E2E_TMP/xwatch"
}

# From now on, each window the window manager takes on, each change of its title, frame extents and
# Motif hints, and its going are written down as they happen into $E2E_TMP/clients, a line
# "id|shown, changed or gone|ms since the epoch|WM_NAME|_NET_FRAME_EXTENTS|_MOTIF_WM_HINTS" each.
watch_clients() {
    build_xwatch
    "$E2E_TMP/xwatch" clients >"$E2E_TMP/clients" &
    E2E_PIDS+=($!)
}

# The last value a window had of a field of $E2E_TMP/clients (4: title, 5: frame extents, 6: Motif
# hints), once set: client_field ID FIELD.
client_field() {
    awk -F'|' -v id="$1" -v field="$2" '$1 == id && $field != "" { value = $field } END { print value }' "$E2E_TMP/clients"
}

# Changes of a rectangle of a window, "x y width height" in its pixels, over a time: the
# milliseconds from the start at which the picture there changed, one a line. Changes closer than a
# tenth of a second are one change, as a window drawn in two strokes changes twice.
# changes WINDOW "X Y W H" SECONDS
changes() {
    local -a r
    read -r -a r <<<"$2"
    build_xwatch
    "$E2E_TMP/xwatch" changes "$1" "${r[@]}" "$3" | awk '$1 - last >= 100 || NR == 1 { print; last = $1 }'
}

# A fontconfig configuration that sees only the given font files.
use_fonts() {
    mkdir -p "$E2E_TMP/fonts" "$E2E_TMP/fontcache"
    local f
    for f in "$@"; do cp "$f" "$E2E_TMP/fonts/"; done
    cat >"$E2E_TMP/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$E2E_TMP/fonts</dir>
  <cachedir>$E2E_TMP/fontcache</cachedir>
</fontconfig>
CONF
    export FONTCONFIG_FILE="$E2E_TMP/fonts.conf"
}

# Liberation 2's folder: its own where the old version 1 keeps the package's name (Debian 12), the
# package's own from Debian 13 on.
liberation2_dir() {
    local d
    for d in /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/liberation; do
        [ -f "$d/LiberationSans-Regular.ttf" ] && { echo "$d"; return 0; }
    done
    fail "Liberation Sans is not installed"
}

# Five families: DejaVu Sans, DejaVu Sans Mono, DejaVu Serif, Liberation Sans, and Gemela, installed
# from two foundries as real collections have some families.
use_fixed_fonts() {
    local l
    l=$(liberation2_dir)
    use_fonts /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
        "$l/LiberationSans-Regular.ttf" "$l/LiberationSans-Bold.ttf"
    /usr/bin/python3 "$E2E_DIR/../fonts/make-twins.py" "$E2E_TMP/fonts"
}

# A desktop's fonts: every face of Debian's DejaVu (fonts-dejavu-core and -extra, with their
# Condensed, ExtraLight and Math members) and Liberation 2 packages, 10 families,
# with fontconfig's standard alias rules; and under Wine, Wine's own fonts besides.
use_desktop_fonts() {
    WINE_OWN_FONTS=1
    local d=/usr/share/fonts/truetype/dejavu l style
    l=$(liberation2_dir)
    local files=("$d/DejaVuMathTeXGyre.ttf" "$d/DejaVuSans-ExtraLight.ttf")
    for style in "" -Bold -Oblique -BoldOblique; do
        files+=("$d/DejaVuSans$style.ttf" "$d/DejaVuSansCondensed$style.ttf" "$d/DejaVuSansMono$style.ttf")
    done
    for style in "" -Bold -Italic -BoldItalic; do
        files+=("$d/DejaVuSerif$style.ttf" "$d/DejaVuSerifCondensed$style.ttf")
    done
    for style in Regular Bold Italic BoldItalic; do
        files+=("$l/LiberationSans-$style.ttf" "$l/LiberationSerif-$style.ttf" "$l/LiberationMono-$style.ttf")
    done
    use_fonts "${files[@]}"
    local rules="" rule
    for rule in 30-metric-aliases 40-nonlatin 45-generic 45-latin 48-spacing 49-sansserif 60-generic 60-latin; do
        rules+="  <include ignore_missing=\"yes\">/usr/share/fontconfig/conf.avail/$rule.conf</include>\n"
    done
    sed -i "s|</fontconfig>|$rules</fontconfig>|" "$FONTCONFIG_FILE"
}

# A Wine prefix of the test's own (or in the folder given), made once. Wine records the fonts it
# finds when a prefix is made, so it is made on the fonts chosen by that time. On a desktop's fonts
# it has Wine's own (fonts-wine: Tahoma, MS Sans Serif, Courier, Small Fonts and the rest) in its
# Fonts folder, as every Windows has its system's fonts: put there before wineboot, whose own copy
# of them runs the 32-bit rundll32, which a Wine without its 32-bit half lacks.
wine_prefix() {
    export WINEPREFIX=${1:-$E2E_TMP/wine} WINEDEBUG=-all
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    if [ -n "${WINE_OWN_FONTS:-}" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || fail "fonts-wine is not installed"
    fi
    wineboot --init </dev/null >"$E2E_TMP/wineboot.log" 2>&1 || { cat "$E2E_TMP/wineboot.log" >&2; fail "wineboot failed"; }
    wineserver --wait
    [ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix in $WINEPREFIX"
    # The Windows the prefix stands for (WINE_WINDOWS: win10, win11) and, with WINE_DARK=1, the dark
    # mode for apps that Windows 10 and 11 offer.
    if [ -n "${WINE_WINDOWS:-}" ]; then
        winecfg /v "$WINE_WINDOWS" </dev/null >/dev/null 2>&1 || fail "Wine cannot stand for $WINE_WINDOWS"
    fi
    if [ -n "${WINE_DARK:-}" ]; then
        wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize' /v AppsUseLightTheme \
            /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 || fail "cannot set the dark mode for apps"
    fi
    wineserver --wait
}

# The program is a Linux executable, a Windows one (a path Wine understands), or the Windows
# program's portable zip, which the first start unpacks into the prefix as "Extraer aquí" does:
# the program is in the zip's one folder.
start_app() {
    if [[ $QUELVARO == *.zip ]]; then
        wine_prefix
        local folder
        folder=$(unzip -Z1 "$QUELVARO" | cut -d/ -f1 | sort -u)
        [ "$(wc -l <<<"$folder")" = 1 ] || fail "the zip does not hold one folder but: $folder"
        unzip -q "$QUELVARO" -d "$WINEPREFIX/drive_c" || fail "cannot unpack $QUELVARO"
        QUELVARO="C:\\$folder\\quelvaro.exe"
    fi
    local command=("$QUELVARO")
    [[ $QUELVARO == *.exe ]] && command=(wine "$QUELVARO")
    "${command[@]}" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
}

PREVIEW_TITLE="Quelvaro - Dorvane"

# The preview's controls as laid out in twips (left top width height), 15 to a pixel at 96 dpi.
declare -gA LAYOUT=(
    [Label1]="120 120 5175 375"
    [Label4]="120 3600 5175 375"
    # The count label starts at 6050 twips, drawn from the nearest whole pixel.
    [lblcant]="-120 6045 5535 405"
    [Label2]="120 1080 735 255"
    [Label3]="3120 1080 1095 255"
    [CmbNDL]="120 600 5175 315"
    [CmbColor]="960 1080 1575 315"
    [CmbTama]="4320 1080 975 315"
    [txtvisu]="120 1440 5175 1575"
    [cnegri]="120 3120 1215 255"
    [ccursi]="2160 3120 1215 255"
    [csubra]="3960 3120 1335 255"
    [cmdviau]="120 4080 5175 375"
    [cmdfinau]="120 4560 5175 375"
    [cmdcerca]="120 5400 2535 375"
    [Cmdsalir]="2760 5400 2535 375"
)

# A control's box in pixels at a scale factor (1 unless given) as "x y width height".
box() {
    local name=$1 scale=${2:-1} twips
    twips=${LAYOUT[$name]:-}
    [ -n "$twips" ] || fail "no control named '$name' in the preview's layout"
    local -a t
    read -r -a t <<<"$twips"
    local v px=()
    for v in "${t[@]}"; do
        [ $((v % 15)) = 0 ] || fail "$name: $v twips is not a whole pixel"
        px+=($((v * scale / 15)))
    done
    echo "${px[*]}"
}

# A control's box as an ImageMagick geometry: WxH+X+Y.
rect() {
    local b x y w h
    b=$(box "$@") || exit 1
    read -r x y w h <<<"$b"
    echo "${w}x${h}+${x}+${y}"
}

# Inside a framed control, clear of its frame, as "x y width height" for count_colour.
interior() {
    local b x y w h inset=$((2 * ${2:-1}))
    b=$(box "$@") || exit 1
    read -r x y w h <<<"$b"
    echo "$((x + inset)) $((y + inset)) $((w - 2 * inset)) $((h - 2 * inset))"
}

# The pixel a person clicks on a control, as "x y": its centre in logical pixels, times the scale.
centre() {
    local b x y w h scale=${2:-1}
    b=$(box "$1") || exit 1
    read -r x y w h <<<"$b"
    echo "$(((x + w / 2) * scale)) $(((y + h / 2) * scale))"
}

# Clicks the middle of a control of a window: click_on WINDOW NAME [scale].
click_on() {
    local c x y
    c=$(centre "$2" "${3:-1}") || exit 1
    read -r x y <<<"$c"
    click "$1" "$x" "$y"
}

# One control of a window as a picture: crop WINDOW NAME FILE [scale].
crop() {
    local geometry
    geometry=$(rect "$2" "${4:-1}") || exit 1
    import -window "$1" -crop "$geometry" +repage "$3"
}

# The preview's sample box of a window, into a file: sample WINDOW FILE [scale].
sample() {
    crop "$1" txtvisu "$2" "${3:-1}"
}

# Whether the sample of a window no longer looks like a picture taken before; the new picture is
# left in $E2E_TMP/sample-now.png.
sample_differs() {
    sample "$1" "$E2E_TMP/sample-now.png" && ! same "$2" "$E2E_TMP/sample-now.png"
}

# The right end of the font list: its arrow and no text, so it looks the same whichever font is
# chosen, and greyed while the list is. The left end would not do: Windows greys neither the frame
# there nor the inside, and draws the focus in it.
list_edge() {
    local b x y w h
    b=$(box CmbNDL) || exit 1
    read -r x y w h <<<"$b"
    import -window "$1" -crop "16x${h}+$((x + w - 17))+${y}" +repage "$2"
}

# Whether the right end of a window's font list looks as in a picture taken before.
list_edge_is() {
    list_edge "$1" "$E2E_TMP/edge-now.png" || return 1
    same "$2" "$E2E_TMP/edge-now.png" || { echo "the font list still looks greyed" >&2; return 1; }
}

# Finalizar ends automatic viewing: the font list takes input again within timeout seconds, and the
# sample then holds over two steps' time; the held sample is left in $E2E_TMP/stop2.png. The list's
# enabled edge must have been saved in $E2E_TMP/edge-enabled.png first: stop_viewing WINDOW TIMEOUT.
stop_viewing() {
    click_on "$1" cmdfinau
    eventually "$2" list_edge_is "$1" "$E2E_TMP/edge-enabled.png"
    sample "$1" "$E2E_TMP/stop1.png"
    settle 1.6
    sample "$1" "$E2E_TMP/stop2.png"
    same "$E2E_TMP/stop1.png" "$E2E_TMP/stop2.png" || fail "the sample still changes after Finalizar"
}

# Waits for the preview window to be drawn (its bare background at (3,60), left of the font list)
# and prints its id: wait_preview [timeout] [scale].
wait_preview() {
    local timeout=${1:-20} scale=${2:-1} id
    id=$(wait_window "$PREVIEW_TITLE" "$timeout") || exit 1
    wait_pixel "$id" $((3 * scale)) $((60 * scale)) 192,192,192 "$timeout" || exit 1
    echo "$id"
}

# Whether two pictures are the same to the pixel.
same() {
    [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]
}

# Waits for a window with exactly this title and prints its id. Each look is a search of its own:
# a search that meets a window going away as the program starts gives up.
wait_window() {
    eventually "${2:-20}" window_id "$1"
    echo "$WINDOW_ID"
}

# The id of a shown window with exactly this title, into $WINDOW_ID; fails if there is none.
window_id() {
    WINDOW_ID=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
    [ -n "$WINDOW_ID" ] || { echo "no window titled '$1'" >&2; return 1; }
}

window_exists() {
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

# Whether no window with exactly this title is shown (any more).
window_gone() {
    ! window_exists "$1" || { echo "the window titled '$1' is still shown" >&2; return 1; }
}

# Where a window's client area is on the screen: "x y".
origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

# Client-area width x height of a window.
client_size() {
    xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

screenshot() {
    import -window "$1" "$2"
}

# The colour of one pixel of a PNG as r,g,b.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# How many pixels of a rectangle (x y w h) of a PNG have exactly the colour r,g,b.
count_colour() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 hex
    local -a channels
    IFS=, read -r -a channels <<<"$6"
    hex=$(printf '#%02X%02X%02X' "${channels[@]}")
    convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 -alpha off -format %c histogram:info:- |
        awk -v hex="$hex" '$3 == hex { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Whether a process is alive and not yet a zombie.
running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [[ $state != Z* ]]
}

# Waits for the program to end and sets EXIT_STATUS; fails after timeout seconds.
wait_exit() {
    local pid=$1 timeout=${2:-5} waited=0
    while running "$pid"; do
        sleep 0.05
        waited=$((waited + 1))
        [ "$waited" -lt $((timeout * 20)) ] || fail "process $pid still running after ${timeout}s"
    done
    EXIT_STATUS=0
    wait "$pid" || EXIT_STATUS=$?
}

# Waits until a pixel of a window has the colour r,g,b, as the window is drawn after it appears.
wait_pixel() {
    local window=$1 x=$2 y=$3 rgb=$4 timeout=${5:-10}
    eventually "$timeout" pixel_is "$window" "$x" "$y" "$rgb"
}

# Whether a pixel of a window has the colour r,g,b now: pixel_is WINDOW X Y RGB.
pixel_is() {
    local shot="$E2E_TMP/pixel-is.png" got
    screenshot "$1" "$shot" 2>/dev/null || { echo "no picture of window $1" >&2; return 1; }
    got=$(pixel "$shot" "$2" "$3")
    [ "$got" = "$4" ] || { echo "pixel ($2,$3) of window $1 is $got, not $4" >&2; return 1; }
}

# Runs a command again and again until it succeeds; fails after timeout seconds (fractions allowed)
# with what the command's last try wrote to standard error: eventually TIMEOUT COMMAND ARGS...
eventually() {
    local timeout=$1 deadline err="$E2E_TMP/eventually.err"
    shift
    deadline=$(($(date +%s%N) + $(awk -v t="$timeout" 'BEGIN { printf "%d", t * 1000 }') * 1000000))
    while true; do
        "$@" 2>"$err" && return 0
        [ "$(date +%s%N)" -lt "$deadline" ] || break
        sleep 0.05
    done
    if [ -s "$err" ]; then fail "$(cat "$err") after ${timeout}s"; fi
    fail "'$*' did not succeed within ${timeout}s"
}

# Checking that something does not happen has no event to wait for: this gives the program the
# time to react wrongly (a click handled, a close obeyed, a timer firing) before looking.
settle() {
    sleep "${1:-0.5}"
}

# The sizes of the icons a window offers the window manager, smallest first: "32x32 64x64".
icon_sizes() {
    xprop -id "$1" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x \([0-9]*\)).*/\1x\2/p' | sort -n | paste -sd' '
}
