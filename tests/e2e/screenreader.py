#!/usr/bin/python3
"""The real program as a screen reader sees it over AT-SPI: what each control is called and is,
which label names which list, the chosen font and colour after a key press and an automatic step,
the toggle action on Negrita, and no announcements from the count label while the fonts load; and
with Orca's debug log, that Orca reads a focused list with its entry and says the entry the list comes to
by the arrow keys. Roles are compared as AT-SPI's constants, whose names differ between releases.
    screenreader.py QUELVARO [ORCA_LOG]  (on an X display, inside a D-Bus session with the AT-SPI bus)"""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

TITLE = "Quelvaro - Dorvane"
failures = []
events = []  # (kind, source name, source role), in the order the bus delivered them


def check(ok, what):
    if not ok:
        failures.append(what)


def report(summary=None):
    """Prints the failures, or the summary when there are none, and ends with the result."""
    for failure in failures:
        print("FAIL:", failure)
    if summary and not failures:
        print(summary)
    sys.exit(1 if failures else 0)


def note(event):
    try:
        events.append((event.type, event.source.name, event.source.getRole()))
    except Exception:  # a source gone by the time it is read
        pass


def frame():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Quelvaro":
            for window in app:
                if window is not None and window.name == TITLE:
                    return window
    return None


def eventually(what, condition, timeout=5.0):
    """Runs the main loop until condition() holds; a failure after timeout seconds."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        context = GLib.main_context_default()
        while context.pending():
            context.iteration(False)
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    failures.append(f"{what} within {timeout} s")
    return None


def speech():
    """What Orca has said, an utterance at a time without its final period; None when Orca is not listening."""
    if len(sys.argv) < 3:
        return None
    with open(sys.argv[2], errors="replace") as log:
        return [m.group(1).strip().removesuffix(".") for m in
                (re.search(r"SPEECH OUTPUT: '(.*?)'(?:[\s{\[]|$)", line) for line in log) if m]


def spoken():
    said = speech()
    return 0 if said is None else len(said)


def names(utterance, control):
    """Whether the utterance speaks of the control: it starts with the name or label Orca gives it."""
    return re.match(rf"{re.escape(control)}\b", utterance) is not None


def orca_read(control, entry):
    """Whether Orca has read the control with its entry (always, when Orca is not listening): in one utterance
    ('Fuente combo box DejaVu Sans', Orca 48) or the control's, then the entry's ('Fuente combo box',
    'DejaVu Sans', Orca 43)."""
    said = speech()
    return said is None or any(names(u, control) and (u.endswith(f" {entry}") or said[i + 1:i + 2] == [entry])
                               for i, u in enumerate(said))


def orca_announced(control, entry, new_entry, since):
    """Whether Orca has said the new entry alone since utterance `since` (always, when Orca is not listening),
    as it does when an arrow key moves the list from its entry to the new one. After an utterance of the
    control that ends in no entry, it is the second half of Orca 43's reading of the control (which a late
    window activation may bring), not that."""
    said = speech()
    if said is None:
        return True
    for i in range(since, len(said)):
        previous = said[i - 1] if i > 0 else ""
        reading = names(previous, control) and not previous.endswith((f" {entry}", f" {new_entry}"))
        if said[i] == new_entry and not reading:
            return True
    return False


def text(accessible):
    return accessible.queryText().getText(0, -1)


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)


for kind in ("object:property-change:accessible-name", "object:text-changed", "object:state-changed:showing",
             "window:activate", "window:create"):
    pyatspi.Registry.registerEventListener(note, kind)
program = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
preview = eventually("the preview over AT-SPI", frame, 30)
if preview is None:
    program.kill()
    sys.exit("FAIL: no preview window over AT-SPI")
eventually("the preview shown", lambda: preview.getState().contains(pyatspi.STATE_SHOWING))
controls = {(c.name, c.getRole()): c for c in preview if c is not None}

# Loading rewrites the count after every font; until the window is first shown or activated,
# none of that is announced. The one rewrite that gives it its final text as it shows may be.
shown_at = next((i for i, (kind, name, role) in enumerate(events)
                 if name == TITLE and kind in ("object:state-changed:showing", "window:activate", "window:create")),
                len(events))
count_events = [i for i, (kind, name, role) in enumerate(events)
                if role == Atspi.Role.LABEL and "fuentes listadas" in name
                and not kind.startswith("object:state-changed")]
check(len([i for i in count_events if i < shown_at]) <= 1,
      f"the count label was announced {len(count_events)} times while the fonts loaded")

Role = Atspi.Role
for name, role in [("Fuente", Role.COMBO_BOX), ("Color", Role.COMBO_BOX), ("Tamaño", Role.COMBO_BOX),
                   ("Texto de ejemplo", Role.TEXT), ("Negrita", Role.CHECK_BOX), ("Cursiva", Role.CHECK_BOX),
                   ("Subrayada", Role.CHECK_BOX), ("Iniciar Visualización Automática", Role.PUSH_BUTTON),
                   ("Finalizar Visualización Automática", Role.PUSH_BUTTON), ("Acerca De...", Role.PUSH_BUTTON),
                   ("Salir", Role.PUSH_BUTTON), ("Color :", Role.LABEL), ("Tamaño :", Role.LABEL),
                   (" 5 fuentes listadas", Role.LABEL)]:
    check((name, role) in controls,
          f"no {role.value_nick} named {name!r}: {sorted((n, Role(r).value_nick) for n, r in controls)}")
for label, target in [("Color :", "Color"), ("Tamaño :", "Tamaño")]:
    relations = [(r.getRelationType(), r.getTarget(0).name) for r in controls[(label, Role.LABEL)].getRelationSet()]
    check((pyatspi.RELATION_LABEL_FOR, target) in relations, f"{label!r} does not name {target!r}: {relations}")


if failures:
    program.kill()
    report()

fonts, colours = controls[("Fuente", Role.COMBO_BOX)], controls[("Color", Role.COMBO_BOX)]
sample = controls[("Texto de ejemplo", Role.TEXT)]
check(text(fonts) == "DejaVu Sans" and text(colours) == "Negro",
      f"the lists read {text(fonts)!r} and {text(colours)!r} at start")

# Focus starts on the font list, which Orca reads with its entry; the arrow key chooses the next font,
# and Orca says it. Orca reads the colour list by its label.
eventually("Orca reading the font list with 'DejaVu Sans'", lambda: orca_read("Fuente", "DejaVu Sans"), 10)
before = spoken()
key("Down")
eventually("the font list reading 'DejaVu Sans Mono' after Down", lambda: text(fonts) == "DejaVu Sans Mono")
eventually("Orca saying 'DejaVu Sans Mono' after Down",
           lambda: orca_announced("Fuente", "DejaVu Sans", "DejaVu Sans Mono", before))
colours.queryComponent().grabFocus()
eventually("the colour list focused", lambda: colours.getState().contains(pyatspi.STATE_FOCUSED))
eventually("Orca reading the colour list with 'Negro'", lambda: orca_read("Color", "Negro"), 10)
before = spoken()
key("Down")
eventually("the colour list reading 'Rojo oscuro' after Down", lambda: text(colours) == "Rojo oscuro")
eventually("Orca saying 'Rojo oscuro' after Down", lambda: orca_announced("Color", "Negro", "Rojo oscuro", before))


def action(accessible, name):
    actions = accessible.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    check(name in names, f"{accessible.name!r} has no {name!r} action: {names}")
    if name in names:
        actions.doAction(names.index(name))


# The toggle action ticks Negrita as a click does: the sample turns bold.
action(controls[("Negrita", Role.CHECK_BOX)], "Toggle")
eventually("a bold sample after Negrita's toggle action",
           lambda: any(a.startswith("weight:") and a != "weight:400" for a in sample.queryText().getAttributeRun(0, False)[0]))

# Automatic viewing starts from the first font and steps on: the list reads each font it shows.
action(controls[("Iniciar Visualización Automática", Role.PUSH_BUTTON)], "Press")
eventually("an automatic step read from the font list", lambda: text(fonts) not in ("DejaVu Sans Mono", ""), 3)
stepped = text(fonts)
action(controls[("Finalizar Visualización Automática", Role.PUSH_BUTTON)], "Press")
action(controls[("Salir", Role.PUSH_BUTTON)], "Press")
try:
    status = program.wait(5)
except subprocess.TimeoutExpired:
    program.kill()
    status = "still running"
check(status == 0, f"Salir ended the program with status {status}")

report(f"screenreader: count label announced {len([i for i in count_events if i < shown_at])} time(s) before the "
       f"preview showed; an automatic step read {stepped!r}")
