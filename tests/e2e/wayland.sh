#!/usr/bin/env bash
# The real program as a native Wayland client of a headless sway, driven by keyboard: the splash is
# on screen for its 100 ms and without a border before the preview, which keeps its 361 x 430
# client area (floating, not stretched by the tiling); activating the preview while the about window
# is open hands the activation back to the about window; "Salir" ends with status 0. Then the
# splash, the preview and "Salir" once more under sway's XWayland. Sway refuses to run as root: there it
# runs as nobody.
source "$(dirname "$0")/lib.sh"
use_fixed_fonts
# Under the sanitizers: a block Mesa's EGL driver keeps at the end is told apart only by its full
# stack (see lsan.supp).
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
export XDG_RUNTIME_DIR=$E2E_TMP/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$XDG_RUNTIME_DIR" "$E2E_TMP"
    as_user=(runuser -u nobody --)
fi
# Sway's default answer to a window asking to be activated is only to mark it urgent; a person who
# wants the window brought forward says so with focus_on_window_activation.
printf 'output HEADLESS-1 resolution 1280x1024\nfocus_on_window_activation smart\n' >"$E2E_TMP/sway.conf"
"${as_user[@]}" env -i XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
E2E_PIDS+=($!)
sway_up() {
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
    [ -n "$SWAYSOCK" ] && [ -S "$XDG_RUNTIME_DIR/wayland-1" ] || { echo "sway did not start: $(tail -n3 "$E2E_TMP/sway.log")" >&2; return 1; }
}
eventually 10 sway_up
export SWAYSOCK WAYLAND_DISPLAY=wayland-1

# Each window event with the time it arrived, in nanoseconds.
swaymsg -r -m -t subscribe '["window"]' | /usr/bin/python3 -u -c '
import sys, time
for line in sys.stdin:
    print(time.time_ns(), line, end="", flush=True)' >>"$E2E_TMP/events" &
E2E_PIDS+=($!)
# A headless seat has no keyboard until a virtual one is made: one is kept for the whole test, so
# that the program finds a keyboard when it starts.
wtype -s 120000 -k Shift_L &
E2E_PIDS+=($!)
seat_has_keyboard() {
    swaymsg -t get_seats | grep -q '"capabilities": [1-9]' || { echo "the seat has no keyboard" >&2; return 1; }
}
eventually 5 seat_has_keyboard
QT_QPA_PLATFORM=wayland start_app

# What the compositor says of its windows: "name focused floating width height" for each.
windows() {
    swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(node):
    if node.get("pid"):
        r = node["window_rect"]
        print("%s|%d|%d|%dx%d" % (node.get("name"), node["focused"], node["type"] == "floating_con", r["width"], r["height"]))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
shown() {
    windows >"$E2E_TMP/windows"
    grep -q "^$1|" "$E2E_TMP/windows" || { echo "no window '$1': $(cat "$E2E_TMP/windows")" >&2; return 1; }
}
focused() {
    windows >"$E2E_TMP/windows"
    grep -q "^$1|1|" "$E2E_TMP/windows" || { echo "'$1' is not the focused window: $(cat "$E2E_TMP/windows")" >&2; return 1; }
}
# The preview appears floating with its own client area; before it, the splash came and went
# (the compositor's time between the two is reported) with neither title bar nor border.
preview_and_splash() {
    eventually 20 focused "$PREVIEW_TITLE"
    grep -q "^$PREVIEW_TITLE|1|1|361x430\$" "$E2E_TMP/windows" || fail "the preview is not a floating 361x430 window: $(cat "$E2E_TMP/windows")"
    local splash
    splash=$(/usr/bin/python3 -c '
import json, sys
seen = {}
for line in open(sys.argv[1]):
    stamp, event = line.split(" ", 1)
    event = json.loads(event)
    box = event["container"]["id"]
    if event["change"] == "new" and not seen:
        seen["id"], seen["new"] = box, int(stamp)
    elif event["change"] == "close" and seen.get("id") == box:
        print((int(stamp) - seen["new"]) // 1000000, event["container"]["border"])
        break
' "$E2E_TMP/events")
    [ -n "$splash" ] || fail "no splash in the compositor's window events: $(cut -c1-200 "$E2E_TMP/events")"
    read -r splash_ms splash_border <<<"$splash"
    [[ $splash_border == none || $splash_border == csd ]] || fail "the splash had a border: $splash_border"
}
preview_and_splash
native_ms=$splash_ms

# With the about window open ("Acerca De..." is seventh in the tab order from the font list), the
# person activates the preview: the activation goes back to the about window. Sway 1.7 gives it the
# keyboard but leaves the preview drawn above it (later sways raise it too).
wtype -k Tab -k Tab -k Tab -k Tab -k Tab -k Tab -k space || fail "wtype failed"
eventually 10 focused "Acerca De Quelvaro"
swaymsg "[title=\"^$PREVIEW_TITLE\$\"] focus" >/dev/null || fail "swaymsg focus failed"
eventually 5 focused "Acerca De Quelvaro"
swaymsg '[title="^Acerca De Quelvaro$"] kill' >/dev/null || fail "swaymsg kill failed"
eventually 5 focused "$PREVIEW_TITLE"

# The preview takes input again with the focus back on "Acerca De..."; "Salir" comes just before.
wtype -M shift -k Tab -m shift -k space || fail "wtype failed"
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"

# Once more as an X client of sway's XWayland, whose X server lets in only the user sway runs as
# until that user lets this one in too (the program, like the build, may be out of that user's
# reach). Sway gives an X window a title bar unless its Motif hints ask for none.
swaymsg exec "xhost +si:localuser:$(id -un) >$E2E_TMP/xhost.log 2>&1 && echo \$DISPLAY >$E2E_TMP/x-display" >/dev/null ||
    fail "swaymsg exec failed"
x_display_known() {
    [ -s "$E2E_TMP/x-display" ] || { echo "sway said no DISPLAY: $(cat "$E2E_TMP/xhost.log" 2>/dev/null)" >&2; return 1; }
}
eventually 10 x_display_known
: >"$E2E_TMP/events"
DISPLAY=$(cat "$E2E_TMP/x-display") QT_QPA_PLATFORM=xcb "$QUELVARO" >"$E2E_TMP/app-x.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=("$APP_PID")
preview_and_splash
wtype -k Tab -k Tab -k Tab -k Tab -k Tab -k space || fail "wtype failed"
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Salir under XWayland ended with status $EXIT_STATUS"
echo "wayland: passed (splash on screen $native_ms ms, $splash_ms ms under XWayland)"
