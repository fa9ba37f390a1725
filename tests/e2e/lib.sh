# Sourced by the end-to-end tests: a private X server with a window manager, a fixed font set, and
# helpers to find, look at and drive the real program's windows as a person would.
set -euo pipefail

QUELVARO=${QUELVARO:-$1}
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
    [ -n "${E2E_KEEP:-}" ] && cp -r "$E2E_TMP" "$E2E_KEEP"
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
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
            openbox --config-file /dev/null >"$E2E_TMP/openbox.log" 2>&1 &
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

# Four families: DejaVu Sans, DejaVu Sans Mono, DejaVu Serif and Liberation Sans.
use_fixed_fonts() {
    use_fonts /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
        /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \
        /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
}

start_app() {
    "$QUELVARO" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
}

PREVIEW_TITLE="Quelvaro - Dorvane"

# Waits for the preview window, lets it settle and prints its id.
wait_preview() {
    local id
    id=$(wait_window "$PREVIEW_TITLE" "${1:-20}") || exit 1
    sleep 0.5
    echo "$id"
}

# The preview's sample box (8,96 345x105) in window $win, into a file.
sample() {
    import -window "$win" -crop 345x105+8+96 +repage "$1"
}

# Whether two pictures are the same to the pixel.
same() {
    [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]
}

# Waits for a window with exactly this title and prints its id.
wait_window() {
    local title=$1 timeout=${2:-20} id
    id=$(timeout "$timeout" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1) || true
    [ -n "$id" ] || fail "no window titled '$title' within ${timeout}s"
    echo "$id"
}

window_exists() {
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
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
    hex=$(printf '#%02X%02X%02X' ${6//,/ })
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
    local window=$1 x=$2 y=$3 rgb=$4 timeout=${5:-10} shot="$E2E_TMP/wait-pixel.png"
    for _ in $(seq $((timeout * 10))); do
        screenshot "$window" "$shot" 2>/dev/null && [ "$(pixel "$shot" "$x" "$y")" = "$rgb" ] && return 0
        sleep 0.1
    done
    fail "pixel ($x,$y) of window $window never became $rgb"
}

# The sizes of the icons a window offers the window manager, smallest first: "32x32 64x64".
icon_sizes() {
    xprop -id "$1" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x \([0-9]*\)).*/\1x\2/p' | sort -n | paste -sd' '
}
