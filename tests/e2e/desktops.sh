#!/usr/bin/env bash
# The real program on the desktops most Linux users have, GNOME Shell and KDE's KWin, each headless
# with its Xwayland, started in a Wayland session as the desktop's own launcher would start it or
# with the platform a user names. What is checked is the compositor's own record of the windows
# (desktop.py), not pixels: the splash is frameless and the size it asks; the preview keeps its
# 361 x 430 client area, cannot be maximized or resized, and is centred where the program may place
# a window (on GNOME, from its first frame on the screen); on GNOME a click where a maximize button
# would be changes nothing; with the about window open, a click on the preview and its activation
# leave the about window in front and active, and closing it gives the preview back its input;
# "Salir" ends with status 0 and nothing on standard error. On a failure the compositor's log is
# shown.
#
# Mutter and KWin start their Xwayland only where /tmp/.X11-unix is open to everyone, as systemd
# makes it (mode 1777); where it is not, the test runs in a mount namespace of its own with a
# private /tmp/.X11-unix.
if [ -z "${QUELVARO_OWN_X11_UNIX:-}" ] && [ "$(stat -c %a /tmp/.X11-unix 2>/dev/null)" != 1777 ]; then
    exec env QUELVARO_OWN_X11_UNIX=1 unshare -m bash -c \
        'mkdir -p /tmp/.X11-unix && mount -t tmpfs -o mode=1777 quelvaro /tmp/.X11-unix && exec bash "$0" "$@"' "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
use_fixed_fonts
# Under the sanitizers: a block Mesa's EGL driver keeps at the end is told apart only by its full
# stack (see lsan.supp); and the standard error, which must stay empty, is spared the list of
# suppressions used.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
[ -n "${LSAN_OPTIONS:-}" ] && export LSAN_OPTIONS="$LSAN_OPTIONS:print_suppressions=0"
desktop() { E2E_TMP=$E2E_TMP DISPLAY=${X_DISPLAY:-} /usr/bin/python3 "$E2E_DIR/desktop.py" "$@"; }

# What each case is: the desktop; the platform the user names (- for none); the platform the
# program must then be a client of; whether the program can place its windows there; the client
# area of the preview as the compositor records it (on GNOME's Wayland the client draws its own
# title bar inside its window: "qt" stands for that, see qt_drawn_area); whether the compositor
# lets the program bring the about window to the front. GNOME's Wayland client is only had by
# asking for it: without, the program is an X client there. Mutter grants a Wayland client's
# request to activate another of its windows neither the keyboard nor the front.
CASES=(
    "gnome - x11 placed 361x430 front"
    "gnome wayland wayland unplaced qt behind"
    "kwin - wayland unplaced 361x430 front"
    "kwin xcb x11 placed 361x430 front"
)

# The preview's 361 x 430 with the title bar Qt draws around it on GNOME's Wayland: from the
# decoration plugin Qt takes there, Adwaita's where Qt has it (from Qt 6.7: a 38 pixel title bar,
# a 1 pixel border and 10 pixels of shadow on every side), else its own plain one (a 30 pixel
# title bar, a 3 pixel border on the other sides).
qt_drawn_area() {
    local plugins
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)/wayland-decoration-client
    [ -d "$plugins" ] || fail "Qt has no decoration plugins in $plugins"
    if [ -e "$plugins/libadwaita.so" ]; then
        echo $((361 + 2 * 11))x$((430 + 38 + 11 + 11))
    else
        echo $((361 + 2 * 3))x$((430 + 30 + 3))
    fi
}

COMPOSITOR_LOG=
show_log_on_failure() {
    local status=$?
    if [ "$status" != 0 ] && [ -s "$COMPOSITOR_LOG" ]; then
        echo "--- the compositor's log ($COMPOSITOR_LOG):" >&9
        tail -n 60 "$COMPOSITOR_LOG" >&9
    fi
    e2e_cleanup
}
trap show_log_on_failure EXIT

mkdir -m 700 "$E2E_TMP/runtime"
mkdir -p "$E2E_TMP/home" "$E2E_TMP/config/glib-2.0/settings" "$E2E_TMP/data"
export XDG_RUNTIME_DIR=$E2E_TMP/runtime HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config XDG_DATA_HOME=$E2E_TMP/data
export XDG_CACHE_HOME=$E2E_TMP/home/.cache NO_AT_BRIDGE=1
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM QT_WAYLAND_DECORATION

# A D-Bus bus of the test's own; its address into the variable named.
start_bus() {
    rm -f "$E2E_TMP/$1"
    dbus-daemon --config-file=/usr/share/dbus-1/session.conf --nofork --print-address=3 3>"$E2E_TMP/$1" 2>/dev/null &
    E2E_PIDS+=($!)
    SESSION_PIDS+=($!)
    eventually 5 test -s "$E2E_TMP/$1"
    export "$1=$(head -n1 "$E2E_TMP/$1")"
}

# The compositor's answer, to be waited for.
answers() {
    desktop "$@" >/dev/null 2>&1 || { echo "the compositor does not answer '$*'" >&2; return 1; }
}

# GNOME Shell, with an extension of the test's own that lets it evaluate the test's JavaScript and
# hands that JavaScript the shell's main module as global._qvMain. A shell loads only an extension
# that names its version, and from GNOME 45 only one written as an ES module, the form in which its
# own modules can then be had.
start_gnome() {
    local extension=$XDG_DATA_HOME/gnome-shell/extensions/eval@quelvaro.test version
    version=$(gnome-shell --version | grep -o '[0-9]\+' | head -n1) || fail "no version from gnome-shell --version"
    mkdir -p "$extension"
    echo '{"uuid": "eval@quelvaro.test", "name": "eval", "description": "test", "shell-version": ["'"$version"'"]}' >"$extension/metadata.json"
    if [ "$version" -ge 45 ]; then
        cat >"$extension/extension.js" <<'EOF'
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class extends Extension {
    enable() {
        global._qvMain = Main;
        global.context.unsafe_mode = true;
    }

    disable() {}
}
EOF
    else
        echo 'function init() { return { enable() { global._qvMain = imports.ui.main; global.context.unsafe_mode = true; }, disable() {} }; }' >"$extension/extension.js"
    fi
    printf "[org/gnome/shell]\nenabled-extensions=['eval@quelvaro.test']\n" >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
    start_bus DBUS_SESSION_BUS_ADDRESS
    # Without a system bus its login manager code ends the shell: a second private bus stands in.
    start_bus DBUS_SYSTEM_BUS_ADDRESS
    COMPOSITOR_LOG=$E2E_TMP/gnome-shell.log
    GSETTINGS_BACKEND=keyfile MUTTER_DEBUG_DISABLE_ANIMATIONS=1 \
        gnome-shell --headless --wayland --virtual-monitor 1280x800 >"$COMPOSITOR_LOG" 2>&1 &
    COMPOSITOR_PID=$!
    E2E_PIDS+=("$COMPOSITOR_PID")
    eventually 30 answers gnome eval 'if (!global.context.unsafe_mode) throw new Error("not yet"); 1'
    # It starts in the overview, which a person leaves to see the windows.
    eventually 20 answers gnome eval 'const main = global._qvMain;
        if (main.layoutManager._startingUp) throw new Error("starting");
        if (main.overview.visible) { main.overview.hide(); throw new Error("overview"); } 1'
    APP_ENV=(XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland "WAYLAND_DISPLAY=$(desktop gnome eval 'imports.gi.GLib.getenv("WAYLAND_DISPLAY")')"
        "DISPLAY=$(desktop gnome eval 'imports.gi.GLib.getenv("DISPLAY")')"
        "XAUTHORITY=$(desktop gnome eval 'imports.gi.GLib.getenv("XAUTHORITY")')")
    KEYS=gnome_keys
    CLICK=gnome_click
}
gnome_keys() { desktop gnome keys "$@"; }
gnome_click() { desktop gnome click "$1" "$2"; }

# KWin, from a copy of its binary: the installed one carries a file capability that some
# sandboxes refuse to run.
start_kwin() {
    unset DBUS_SYSTEM_BUS_ADDRESS
    start_bus DBUS_SESSION_BUS_ADDRESS
    cp /usr/bin/kwin_wayland "$E2E_TMP/kwin_wayland"
    COMPOSITOR_LOG=$E2E_TMP/kwin.log
    export KWIN_LOG=$COMPOSITOR_LOG
    # The program given last starts once Xwayland is up, with the session's DISPLAY.
    KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 "$E2E_TMP/kwin_wayland" --virtual --width 1280 --height 800 --xwayland \
        --no-lockscreen --no-global-shortcuts --no-kactivities --socket quelvaro-0 \
        "sh -c 'echo \$DISPLAY >$E2E_TMP/kwin-display'" >"$COMPOSITOR_LOG" 2>&1 &
    COMPOSITOR_PID=$!
    E2E_PIDS+=("$COMPOSITOR_PID")
    eventually 30 test -s "$E2E_TMP/kwin-display"
    eventually 10 answers kwin workarea
    X_DISPLAY=$(cat "$E2E_TMP/kwin-display")
    APP_ENV=(XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=quelvaro-0 "DISPLAY=$X_DISPLAY")
    # A pointer and a keyboard through KWin's fake-input protocol, kept for the whole session.
    local protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
    if [ ! -x "$E2E_TMP/fakeinput" ]; then
        wayland-scanner client-header "$protocol" "$E2E_TMP/fake-input-client.h" &&
            wayland-scanner private-code "$protocol" "$E2E_TMP/fake-input.c" &&
            gcc -O1 -I"$E2E_TMP" -o "$E2E_TMP/fakeinput" "$E2E_DIR/fakeinput.c" "$E2E_TMP/fake-input.c" -lwayland-client ||
            fail "cannot build fakeinput.c"
    fi
    coproc FAKE { WAYLAND_DISPLAY=quelvaro-0 exec "$E2E_TMP/fakeinput" 2>>"$E2E_TMP/fakeinput.log"; }
    E2E_PIDS+=("$FAKE_PID")
    SESSION_PIDS+=("$FAKE_PID")
    KEYS=kwin_keys
    CLICK=kwin_click
}
fake() {
    local reply
    echo "$*" >&"${FAKE[1]}"
    read -r -t 10 reply <&"${FAKE[0]}" && [ "$reply" = ok ] || fail "fakeinput did not do '$*': $(cat "$E2E_TMP/fakeinput.log")"
}
kwin_keys() {
    local key
    declare -A code=([Tab]=15 [space]=57 [Shift_L]=42)
    for key; do
        case $key in
            +*) fake down "${code[${key#+}]}" ;;
            -*) fake up "${code[${key#-}]}" ;;
            *) fake key "${code[$key]}" ;;
        esac
    done
}
kwin_click() { fake move "$1" "$2" && fake click; }

# The compositor, its buses and its helpers.
stop_compositor() {
    local pid
    for pid in "$COMPOSITOR_PID" "${SESSION_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    SESSION_PIDS=()
    COMPOSITOR_LOG=
}

# The compositor's line of the window with this title into $WINDOW (see desktop.py), and its fields
# into W_TITLE W_PLATFORM W_TYPE W_DECORATED W_FRAME W_CLIENT W_MAXIMIZABLE W_RESIZABLE W_MAXIMIZED
# W_FOCUSED W_MINIMIZABLE; $WINDOWS has them all, bottom of the stack first.
window_line() {
    WINDOWS=$(desktop "$DESKTOP" windows) || return 1
    WINDOW=$(awk -F'|' -v title="$1" '$1 == title { print; exit }' <<<"$WINDOWS")
    [ -n "$WINDOW" ] || { echo "no window '$1' among: $WINDOWS" >&2; return 1; }
    IFS='|' read -r W_TITLE W_PLATFORM W_TYPE W_DECORATED W_FRAME W_CLIENT W_MAXIMIZABLE W_RESIZABLE W_MAXIMIZED \
        W_FOCUSED W_MINIMIZABLE <<<"$WINDOW"
}
focused() {
    window_line "$1" || return 1
    [ "$W_FOCUSED" = 1 ] || { echo "'$1' is not the active window: $WINDOWS" >&2; return 1; }
}
keeps_its_place() {
    window_line "$1" || return 1
    local before=$W_FRAME
    sleep 0.3
    window_line "$1" || return 1
    [ "$W_FRAME" = "$before" ] || { echo "'$1' still moves: from $before to $W_FRAME" >&2; return 1; }
}
gone() {
    WINDOWS=$(desktop "$DESKTOP" windows) || return 1
    ! cut -d'|' -f1 <<<"$WINDOWS" | grep -qxF -- "$1" || { echo "'$1' is still there: $WINDOWS" >&2; return 1; }
}
# The about window active and above the preview.
about_in_front() {
    focused "Acerca De Quelvaro" || return 1
    local order
    order=$(cut -d'|' -f1 <<<"$WINDOWS" | grep -n -e "^$PREVIEW_TITLE\$" -e '^Acerca De Quelvaro$' | cut -d: -f2 | paste -sd'/')
    [ "$order" = "$PREVIEW_TITLE/Acerca De Quelvaro" ] || { echo "the about window is not above the preview: $WINDOWS" >&2; return 1; }
}

# Whether a rectangle "x,y,w,h" is centred in the work area, to a pixel.
centred() {
    local x y w h ax ay aw ah
    IFS=, read -r x y w h <<<"$1"
    read -r ax ay aw ah <<<"$WORKAREA"
    [ $((2 * x + w - 2 * ax - aw)) -ge -2 ] && [ $((2 * x + w - 2 * ax - aw)) -le 2 ] &&
        [ $((2 * y + h - 2 * ay - ah)) -ge -2 ] && [ $((2 * y + h - 2 * ay - ah)) -le 2 ]
}

run_case() {
    local platform=$1 expected=$2 placement=$3 client_area=$4 front=$5 env=("${APP_ENV[@]}")
    local case="$DESKTOP with QT_QPA_PLATFORM=$platform"
    [ "$client_area" = qt ] && client_area=$(qt_drawn_area)
    [ "$platform" = - ] && case="$DESKTOP, the platform not named"
    [ "$platform" != - ] && env+=("QT_QPA_PLATFORM=$platform")
    WORKAREA=$(desktop "$DESKTOP" workarea)
    desktop "$DESKTOP" watch
    local from=0
    [ "$DESKTOP" = kwin ] && from=$(wc -l <"$COMPOSITOR_LOG")
    env "${env[@]}" "$QUELVARO" >"$E2E_TMP/app.out" 2>"$E2E_TMP/app.err" &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
    eventually 30 focused "$PREVIEW_TITLE"
    # A Wayland window is placed by the compositor once it is shown.
    eventually 10 keeps_its_place "$PREVIEW_TITLE"
    local preview=$WINDOW preview_frame=$W_FRAME client_rect=
    if [ "$DESKTOP$W_PLATFORM" = kwinx11 ]; then
        # KWin's scripts know an X window only by its frame; the X server knows its client area.
        DISPLAY=$X_DISPLAY window_id "$PREVIEW_TITLE" || fail "$case: the X server has no preview"
        W_CLIENT=$(DISPLAY=$X_DISPLAY client_size "$WINDOW_ID")
        client_rect="$(DISPLAY=$X_DISPLAY origin "$WINDOW_ID" | tr ' ' ,),${W_CLIENT/x/,}"
    fi
    [ "$W_PLATFORM" = "$expected" ] || fail "$case: the program is a $W_PLATFORM client, not $expected: $preview"
    [ "$W_CLIENT" = "$client_area" ] || fail "$case: the preview's client area is $W_CLIENT, not $client_area: $preview"
    [ "$W_MAXIMIZABLE$W_RESIZABLE$W_MAXIMIZED" = 000 ] ||
        fail "$case: the preview can be maximized or resized, or is maximized: $preview"
    if [ "$placement" = placed ]; then
        # KWin centres an X window's client area (its frame then sits half a title bar above).
        centred "$W_FRAME" || { [ -n "$client_rect" ] && centred "$client_rect"; } ||
            fail "$case: the preview is not centred in $WORKAREA: $preview"
    fi
    if [ "$DESKTOP$placement" = gnomeplaced ]; then
        # A window put in its place after its first frame was on the screen is seen to jump.
        local painted
        painted=$(desktop gnome events | grep -F "painted|$PREVIEW_TITLE|" | head -n1 | cut -d'|' -f6)
        [ "$painted" = "$preview_frame" ] || fail "$case: the preview was first drawn at ${painted:-no place}, then at $preview_frame"
    fi

    # The splash came and went before: without a frame (neither the compositor's nor one the
    # program drew) and centred where the program places windows.
    local splash
    splash=$(desktop "$DESKTOP" events "$from" | grep -v -e "|$PREVIEW_TITLE|" | head -n1)
    [ -n "$splash" ] || fail "$case: the compositor saw no splash: $(desktop "$DESKTOP" events "$from")"
    IFS='|' read -r _ W_TITLE W_PLATFORM W_TYPE W_DECORATED W_FRAME _ <<<"$splash"
    [ "$W_DECORATED" = 0 ] && [[ $W_FRAME == *,355,198 ]] || fail "$case: the splash has a frame: $splash"
    if [ "$placement" = placed ]; then
        [ "$W_TYPE" = splash ] || fail "$case: the splash is a window of type $W_TYPE: $splash"
        centred "$W_FRAME" || fail "$case: the splash is not centred in $WORKAREA: $splash"
    fi
    SEEN+=("$case: preview ${preview_frame//,/ }, splash $W_TYPE ${W_FRAME//,/ }")

    # On GNOME, a click where the title bar's maximize button would be leaves the preview as it was.
    if [ "$DESKTOP" = gnome ]; then
        local x y w h
        IFS=, read -r x y w h <<<"$preview_frame"
        "$CLICK" $((x + w - 42)) $((y + 15))
        settle 1
        window_line "$PREVIEW_TITLE"
        [ "$W_FRAME$W_MAXIMIZED" = "${preview_frame}0" ] || fail "$case: a click on the title bar changed the preview: $WINDOW"
    fi

    # The about window ("Acerca De..." is seventh in the tab order from the font list).
    "$KEYS" Tab Tab Tab Tab Tab Tab space
    eventually 10 focused "Acerca De Quelvaro"
    eventually 10 keeps_its_place "Acerca De Quelvaro"
    local about=$W_FRAME ax ay aw ah point=
    SEEN[-1]+=", about ${about//,/ }"
    IFS=, read -r ax ay aw ah <<<"$about"
    IFS=, read -r x y w h <<<"$preview_frame"
    # A point of the preview's client area clear of the about window.
    local px py
    for py in $((y + h - 12)) $((y + 45)); do
        for px in $((x + 20)) $((x + w / 2)) $((x + w - 20)); do
            if [ "$px" -lt "$ax" ] || [ "$px" -ge $((ax + aw)) ] || [ "$py" -lt "$ay" ] || [ "$py" -ge $((ay + ah)) ]; then
                point="$px $py"
                break 2
            fi
        done
    done
    [ -n "$point" ] || fail "$case: the about window ($about) covers the preview ($preview_frame)"
    "$CLICK" $point
    if [ "$front" = front ]; then
        eventually 5 about_in_front
        settle
        about_in_front || fail "$case: the click on the preview at $point took the front"
        desktop "$DESKTOP" activate "$PREVIEW_TITLE"
        eventually 5 about_in_front
        settle
        about_in_front || fail "$case: activating the preview took the front from the about window"
    fi
    # The keys that would press "Salir" in the preview end nothing, whichever window has the
    # keyboard: the about window has no control, and the preview takes no input.
    "$KEYS" +Shift_L Tab -Shift_L space
    settle
    running "$APP_PID" || fail "$case: the program ended while the about window was open"
    desktop "$DESKTOP" close "Acerca De Quelvaro"
    eventually 5 gone "Acerca De Quelvaro"
    eventually 5 focused "$PREVIEW_TITLE"

    # The preview takes input again with the focus back on "Acerca De..."; "Salir" comes just before.
    "$KEYS" +Shift_L Tab -Shift_L space
    wait_exit "$APP_PID" 10
    [ "$EXIT_STATUS" = 0 ] || fail "$case: Salir ended with status $EXIT_STATUS"
    [ ! -s "$E2E_TMP/app.err" ] || fail "$case: the program wrote to standard error: $(cat "$E2E_TMP/app.err")"
}

SEEN=() SESSION_PIDS=()
for desktop_name in gnome kwin; do
    DESKTOP=$desktop_name
    "start_$DESKTOP"
    for row in "${CASES[@]}"; do
        read -r name platform expected placement client_area front <<<"$row"
        [ "$name" = "$DESKTOP" ] && run_case "$platform" "$expected" "$placement" "$client_area" "$front"
    done
    stop_compositor
done
echo "desktops: passed"
printf '  %s\n' "${SEEN[@]}"
