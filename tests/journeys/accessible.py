#!/usr/bin/python3
"""What a screen reader reads of a running program, through AT-SPI: run
inside a journey's desktop (its session bus, its accessibility bus), it
answers one request a line on its standard input with one line of JSON:

    tree APP      every node of the application named APP, a list
    focus APP     the node that has the keyboard focus, or null

A process of its own, kept for the journey: each journey's desktop has its
own connection (libatspi keeps the first bus it finds for the life of a
process)."""
import json
import sys

import pyatspi


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def node(accessible, path):
    states = accessible.getState()
    try:
        extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        box = [extents.x, extents.y, extents.width, extents.height]
    except NotImplementedError:
        box = None
    return {
        "path": path,
        "role": accessible.getRoleName(),
        "name": accessible.name or "",
        "description": accessible.description or "",
        "focusable": states.contains(pyatspi.STATE_FOCUSABLE),
        "focused": states.contains(pyatspi.STATE_FOCUSED),
        "showing": states.contains(pyatspi.STATE_SHOWING),
        "enabled": states.contains(pyatspi.STATE_ENABLED),
        "box": box,
    }


def walk(accessible, path, found, focus_only=False):
    if accessible is None:
        return
    if focus_only:
        # Only what is shown is asked more of: the focus is looked for on
        # every key a journey presses, and each question is a call over the bus.
        states = accessible.getState()
        if path and not states.contains(pyatspi.STATE_SHOWING):
            return  # nothing hidden has the focus
        focused = states.contains(pyatspi.STATE_FOCUSED)
        if focused:
            found.append(node(accessible, path))
        table = accessible.getRole() in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE)
    else:
        here = node(accessible, path)
        found.append(here)
        focused = here["focused"]
        table = here["role"] in ("table", "tree table")
    # A table's cells are its rows' business: the table itself is checked,
    # and a long list would take long to walk. The focused cell of a short
    # one is looked for, as a screen reader reads it.
    count = accessible.childCount
    if table and not (focus_only and focused and count <= 400):
        return
    for i in range(count):
        walk(accessible.getChildAtIndex(i), path + [i], found, focus_only)


def answer(line):
    what, name = line.split()
    app = application(name)
    if app is None:
        return None
    found = []
    walk(app, [], found, focus_only=what == "focus")
    if what == "tree":
        return found
    # Qt reports the current tab of a tab bar as focused wherever the
    # keyboard is: it counts only when nothing else has the focus.
    focused = [n for n in found if n["focused"]]
    fields = [n for n in focused if n["role"] != "page tab"]
    return (fields or focused or [None])[-1]


def main():
    for line in sys.stdin:
        if line.strip():
            print(json.dumps(answer(line)), flush=True)


if __name__ == "__main__":
    main()
