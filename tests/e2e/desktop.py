#!/usr/bin/python3
"""What a desktop's compositor itself says of its windows, and input and activation through it, for
the end-to-end tests of desktops.sh: GNOME Shell through its Eval method (the test enables its unsafe
mode), KWin through scripts it loads and runs, whose print() goes to KWin's log.

  desktop.py gnome|kwin watch            from now on, note each window as it is shown and as it goes
  desktop.py gnome|kwin events [LINE]    what was noted: "shown|gone" then a window line (KWin's
                                         since a line of its log)
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
all the compositor knows of it (a client that draws its own title bar has it inside).
"""
import json
import os
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
            imports.ui.main.activateWindow(w);""" % json.dumps(args[0]))
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
function qvDescribe(c) {
    var f = c.frameGeometry, g = c.bufferGeometry;
    var type = c.splash ? 'splash' : c.normalWindow ? 'normal' : 'type' + c.windowType;
    var wayland = c.windowId === undefined;
    // A Wayland window's frame is drawn around its surface; an X window's surrounds a frame window.
    var decorated = wayland ? f.width !== g.width || f.height !== g.height : !c.noBorder;
    return [c.caption, wayland ? 'wayland' : 'x11', type, decorated ? 1 : 0,
        [f.x, f.y, f.width, f.height].join(','), g.width + 'x' + g.height, c.maximizable ? 1 : 0,
        c.resizeable ? 1 : 0, 0,
        workspace.activeClient === c ? 1 : 0, c.minimizable ? 1 : 0].join('|');
}
"""


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
    connection.call_sync("org.kde.KWin", "/%d" % number, "org.kde.kwin.Script", "run", None, None, 0, 10000, None)
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


def kwin(command, args):
    tag = uuid.uuid4().hex + " "
    if command == "watch":
        kwin_run("""// keep: reports each window as it comes and goes for as long as KWin runs
            workspace.clientAdded.connect(function (c) { print('QVEVENT shown|' + qvDescribe(c)); });
            workspace.clientRemoved.connect(function (c) { print('QVEVENT gone|' + qvDescribe(c)); });""")
    elif command == "events":
        # Those since the line of KWin's log given, where the test started the program.
        with open(os.environ["KWIN_LOG"], errors="replace") as log:
            lines = log.readlines()[int(args[0]) if args else 0:]
        print("\n".join(line[len("js: QVEVENT "):].rstrip("\n") for line in lines if line.startswith("js: QVEVENT ")))
    elif command == "windows":
        # In stacking order, bottom first; the tag's line carries the lines as JSON.
        out = kwin_run("""
            var lines = workspace.clientList().filter(function (c) { return !c.specialWindow || c.splash; })
                .sort(function (a, b) { return a.stackingOrder - b.stackingOrder; }).map(qvDescribe);
            print('%s' + JSON.stringify(lines));""" % tag, tag)
        print("\n".join(json.loads(out)))
    elif command == "activate":
        out = kwin_run("""
            var found = workspace.clientList().filter(function (c) { return c.caption === %s; });
            if (found.length) workspace.activeClient = found[0];
            print('%s' + found.length);""" % (json.dumps(args[0]), tag), tag)
        if out != "1":
            sys.exit("no window titled " + args[0])
    elif command == "close":
        out = kwin_run("""
            var found = workspace.clientList().filter(function (c) { return c.caption === %s; });
            if (found.length) found[0].closeWindow();
            print('%s' + found.length);""" % (json.dumps(args[0]), tag), tag)
        if out != "1":
            sys.exit("no window titled " + args[0])
    elif command == "workarea":
        print(kwin_run("""var r = workspace.clientArea(KWin.PlacementArea, 0, 1);
            print('%s' + [r.x, r.y, r.width, r.height].join(' '));""" % tag, tag))
    else:
        sys.exit("desktop.py: no command kwin " + command)


if __name__ == "__main__":
    {"gnome": gnome, "kwin": kwin}[sys.argv[1]](sys.argv[2], sys.argv[3:])
