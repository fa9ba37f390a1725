#!/usr/bin/python3
"""What a desktop's compositor itself says of its windows, and input and activation through it, for
the end-to-end tests of desktops.sh: GNOME Shell through its Eval method (the test enables its unsafe
mode), KWin through scripts it loads and runs, whose print() goes to KWin's log.

  desktop.py gnome|kwin watch            from now on, note each window as it is shown and as it goes
  desktop.py gnome|kwin events [LINE]    what was noted: "shown|gone" then a window line (KWin's
                                         since a line of its log); GNOME's "painted" too, once
                                         the window's first frame is seen on the screen
  desktop.py gnome|kwin windows          a line a window, bottom of the stack first
  desktop.py gnome|kwin activate TITLE   activates a window as the shell's overview or a task bar does
  desktop.py gnome|kwin close TITLE      asks a window to close, as its close button does
  desktop.py gnome|kwin workarea         "x y width height" of the screen's work area
  desktop.py gnome eval CODE             what a line of the shell's JavaScript gives
  desktop.py gnome click X Y             a click at a point of the screen (KWin's is fakeinput.c's)
  desktop.py gnome keys KEY...           keys pressed and released one after another, by their
                                         names (Tab, space); +KEY presses one and -KEY releases it

A window line is "title|platform|type|decorated|x,y,w,h|WxH|maximizable|resizable|maximized|
focused|minimizable": its frame on the screen and the size of its client area, which on Wayland is
all the compositor knows of it (a client that draws its own title bar has it inside). KWin 6's
scripts do not say whether a window is an X or a Wayland client: its platform is then that of the X
server's window of its title (the X display is KWin's, in DISPLAY), and "unknown" in the events.
"""
import json
import os
import re
import subprocess
import sys
import time
import uuid

from gi.repository import Gio, GLib


def bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


# --- GNOME Shell -------------------------------------------------------------------------------

GNOME_DESCRIBE = r"""
global._qvDescribe = w => {
    const Meta = imports.gi.Meta;
    const f = w.get_frame_rect();
    const c = w.frame_rect_to_client_rect(f);
    const type = w.get_window_type() === Meta.WindowType.SPLASHSCREEN ? 'splash'
        : w.get_window_type() === Meta.WindowType.NORMAL ? 'normal' : 'type' + w.get_window_type();
    return [w.get_title(), w.get_client_type() === Meta.WindowClientType.WAYLAND ? 'wayland' : 'x11', type,
        w.decorated ? 1 : 0, [f.x, f.y, f.width, f.height].join(','), c.width + 'x' + c.height,
        w.can_maximize() ? 1 : 0, w.resizeable ? 1 : 0, w.get_maximized(), w.has_focus() ? 1 : 0,
        w.can_minimize() ? 1 : 0].join('|');
};
"""


def gnome_eval(code):
    reply = bus().call_sync("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                            GLib.Variant("(s)", (GNOME_DESCRIBE + code,)), None, 0, 10000, None)
    ok, result = reply.unpack()
    if not ok:
        sys.exit("GNOME Shell could not run the code: " + result)
    return json.loads(result) if result else None


def gnome(command, args):
    if command == "watch":
        # Once for each shell; later, the notes start afresh. The pointer and the keyboard are
        # made here too: a device the seat has only just been given may lose the first input.
        gnome_eval("""
            const Clutter = imports.gi.Clutter;
            const seat = Clutter.get_default_backend().get_default_seat();
            if (!global._qvPointer)
                global._qvPointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
            if (!global._qvKeyboard)
                global._qvKeyboard = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
            if (global._qvEvents) {
                global._qvEvents = [];
            } else {
                global._qvEvents = [];
                global.display.connect('window-created', (d, w) => {
                w.connect('shown', () => global._qvEvents.push('shown|' + global._qvDescribe(w)));
                // Its first frame on the screen that can be seen: drawn, and not transparent.
                const actor = w.get_compositor_private();
                let drawn = false, seen = false;
                const see = () => {
                    if (!drawn || seen || actor.get_children().some(c => c.opacity === 0)) return;
                    seen = true;
                    global._qvEvents.push('painted|' + global._qvDescribe(w));
                };
                actor?.connect('first-frame', () => {
                    drawn = true;
                    actor.get_children().forEach(c => c.connect('notify::opacity', see));
                    see();
                });
                w.connect('unmanaged', () => global._qvEvents.push('gone|' + global._qvDescribe(w)));
            });
            }""")
    elif command == "events":
        print(gnome_eval("global._qvEvents.join('\\n')"))
    elif command == "windows":
        print(gnome_eval("""global.display.sort_windows_by_stacking(
            global.get_window_actors().map(a => a.meta_window).filter(w => !w.is_override_redirect()))
            .map(global._qvDescribe).join('\\n')"""))
    elif command == "activate":
        gnome_eval("""
            const w = global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === %s);
            if (!w) throw new Error('no window');
            global._qvMain.activateWindow(w);""" % json.dumps(args[0]))
    elif command == "close":
        gnome_eval("""
            const w = global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === %s);
            if (!w) throw new Error('no window');
            w.delete(global.get_current_time());""" % json.dumps(args[0]))
    elif command == "workarea":
        print(gnome_eval("""const r = global.workspace_manager.get_active_workspace().get_work_area_for_monitor(0);
            [r.x, r.y, r.width, r.height].join(' ')"""))
    elif command == "eval":
        print(gnome_eval(args[0]))
    elif command == "click":
        gnome_eval("""
            const Clutter = imports.gi.Clutter;
            if (!global._qvPointer)
                throw new Error('no virtual device: run watch first');
            global._qvPointer.notify_absolute_motion(Clutter.CURRENT_TIME, %d, %d);
            global._qvPointer.notify_button(Clutter.CURRENT_TIME, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED);
            global._qvPointer.notify_button(Clutter.CURRENT_TIME, Clutter.BUTTON_PRIMARY, Clutter.ButtonState.RELEASED);
            """ % (int(args[0]), int(args[1])))
    elif command == "keys":
        gnome_eval("""
            const Clutter = imports.gi.Clutter;
            if (!global._qvKeyboard)
                throw new Error('no virtual device: run watch first');
            const press = (name, state) => {
                if (Clutter['KEY_' + name] === undefined) throw new Error('no key ' + name);
                global._qvKeyboard.notify_keyval(Clutter.CURRENT_TIME, Clutter['KEY_' + name], state);
            };
            for (const key of %s) {
                if (key[0] !== '-')
                    press(key.replace(/^[+]/, ''), Clutter.KeyState.PRESSED);
                if (key[0] !== '+')
                    press(key.replace(/^-/, ''), Clutter.KeyState.RELEASED);
            }""" % json.dumps(args))
    else:
        sys.exit("desktop.py: no command gnome " + command)


# --- KWin --------------------------------------------------------------------------------------

KWIN_DESCRIBE = r"""
// KWin 6 renamed what KWin 5 called clients windows, and takes its screens and desktops as objects.
function qvWindows() { return workspace.windowList ? workspace.windowList() : workspace.clientList(); }
function qvActive() { return workspace.windowList ? workspace.activeWindow : workspace.activeClient; }
function qvActivate(c) {
    if (workspace.windowList) workspace.activeWindow = c; else workspace.activeClient = c;
}
function qvDescribe(c) {
    var f = c.frameGeometry, g = c.bufferGeometry;
    var type = c.splash ? 'splash' : c.normalWindow ? 'normal' : 'type' + c.windowType;
    // KWin 5 knows an X window by its id and its frame alone; KWin 6 offers neither the id nor a
    // word of the window's platform (see kwin_platforms), and has a frame drawn around the client
    // area of any window.
    var x11 = c.windowId !== undefined;
    var platform = x11 ? 'x11' : workspace.windowList ? 'unknown' : 'wayland';
    var decorated = x11 ? !c.noBorder : f.width !== g.width || f.height !== g.height;
    return [c.caption, platform, type, decorated ? 1 : 0,
        [f.x, f.y, f.width, f.height].join(','), g.width + 'x' + g.height, c.maximizable ? 1 : 0,
        c.resizeable ? 1 : 0, 0,
        qvActive() === c ? 1 : 0, c.minimizable ? 1 : 0].join('|');
}
"""


def kwin_script_path(connection, number):
    """Where KWin puts a script it has loaded on the bus: under /Scripting from KWin 6, at the root
    before."""
    for path in ("/Scripting/Script%d" % number, "/%d" % number):
        try:
            xml = connection.call_sync("org.kde.KWin", path, "org.freedesktop.DBus.Introspectable", "Introspect",
                                       None, GLib.VariantType("(s)"), 0, 10000, None).unpack()[0]
        except GLib.Error:
            continue
        if "org.kde.kwin.Script" in xml:
            return path
    sys.exit("KWin has not put script %d on the bus" % number)


def kwin_run(code, wait_for=None):
    """Runs a script in KWin; with wait_for, waits for the line it prints with that tag and returns
    what follows the tag, as KWin prints a script's output to its log."""
    path = os.path.join(os.environ["E2E_TMP"], "kwin-%s.js" % uuid.uuid4().hex)
    with open(path, "w") as script:
        script.write(KWIN_DESCRIBE + code)
    name = os.path.basename(path)
    connection = bus()
    number = connection.call_sync("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript",
                                  GLib.Variant("(ss)", (path, name)), None, 0, 10000, None).unpack()[0]
    connection.call_sync("org.kde.KWin", kwin_script_path(connection, number), "org.kde.kwin.Script", "run",
                         None, None, 0, 10000, None)
    result = None
    if wait_for:
        deadline = time.monotonic() + 10
        while result is None and time.monotonic() < deadline:
            with open(os.environ["KWIN_LOG"], errors="replace") as log:
                for line in log:
                    if line.startswith("js: " + wait_for):
                        result = line[len("js: " + wait_for):].rstrip("\n")
            time.sleep(0.02)
        if result is None:
            sys.exit("KWin did not run the script " + path)
    if not code.lstrip().startswith("// keep"):
        connection.call_sync("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                             GLib.Variant("(s)", (name,)), None, 0, 10000, None)
    return result


def kwin_platforms(lines):
    """Lines of windows on the screen now, with the platform KWin left unknown found out: the window
    is an X client when its title is that of a window the X server shows, on KWin's X display."""
    def platform(line):
        fields = line.split("|")
        if fields[1] == "unknown":
            title = "^%s$" % re.sub(r"([][.^$*+?(){}|\\])", r"\\\1", fields[0])
            shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                   capture_output=True, text=True).stdout.split()
            fields[1] = "x11" if shown else "wayland"
        return "|".join(fields)
    return [platform(line) for line in lines]


def kwin(command, args):
    tag = uuid.uuid4().hex + " "
    if command == "watch":
        kwin_run("""// keep: reports each window as it comes and goes for as long as KWin runs
            (workspace.windowAdded || workspace.clientAdded).connect(function (c) { print('QVEVENT shown|' + qvDescribe(c)); });
            (workspace.windowRemoved || workspace.clientRemoved).connect(function (c) { print('QVEVENT gone|' + qvDescribe(c)); });""")
    elif command == "events":
        # Those since the line of KWin's log given, where the test started the program.
        with open(os.environ["KWIN_LOG"], errors="replace") as log:
            lines = log.readlines()[int(args[0]) if args else 0:]
        print("\n".join(line[len("js: QVEVENT "):].rstrip("\n") for line in lines if line.startswith("js: QVEVENT ")))
    elif command == "windows":
        # In stacking order, bottom first; the tag's line carries the lines as JSON.
        out = kwin_run("""
            var lines = qvWindows().filter(function (c) { return !c.specialWindow || c.splash; })
                .sort(function (a, b) { return a.stackingOrder - b.stackingOrder; }).map(qvDescribe);
            print('%s' + JSON.stringify(lines));""" % tag, tag)
        print("\n".join(kwin_platforms(json.loads(out))))
    elif command == "activate":
        out = kwin_run("""
            var found = qvWindows().filter(function (c) { return c.caption === %s; });
            if (found.length) qvActivate(found[0]);
            print('%s' + found.length);""" % (json.dumps(args[0]), tag), tag)
        if out != "1":
            sys.exit("no window titled " + args[0])
    elif command == "close":
        out = kwin_run("""
            var found = qvWindows().filter(function (c) { return c.caption === %s; });
            if (found.length) found[0].closeWindow();
            print('%s' + found.length);""" % (json.dumps(args[0]), tag), tag)
        if out != "1":
            sys.exit("no window titled " + args[0])
    elif command == "workarea":
        print(kwin_run("""var r = workspace.clientArea(KWin.PlacementArea, workspace.activeScreen, workspace.currentDesktop);
            print('%s' + [r.x, r.y, r.width, r.height].join(' '));""" % tag, tag))
    else:
        sys.exit("desktop.py: no command kwin " + command)


if __name__ == "__main__":
    {"gnome": gnome, "kwin": kwin}[sys.argv[1]](sys.argv[2], sys.argv[3:])
