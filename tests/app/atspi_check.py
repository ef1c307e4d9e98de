#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Operates the calculator as a screen reader would, over the accessibility
bus: finds the window, presses "Ziffer 1", "Plus", "Ziffer 2", "Gleich"
through their actions and reads the display and the paper strip.
Exit status 0 when the calculator answered 3, 1 otherwise."""
import sys
import time

import pyatspi


def find(node, test, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if test(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), test, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def application():
    """The calculator on the bus, waited for up to 20 s."""
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            candidate = desktop.getChildAtIndex(i)
            if candidate is not None and candidate.name.lower() == "veltranix":
                return candidate
        time.sleep(0.3)
    print("the calculator never appeared on the accessibility bus")
    sys.exit(1)


def named(app, name, role=None):
    node = find(app, lambda n: n.name == name and (role is None or n.getRole() == role))
    if node is None:
        print("no control named %r" % name)
        sys.exit(1)
    return node


def main():
    app = application()
    for name in ("Ziffer 1", "Plus", "Ziffer 2", "Gleich"):
        key = named(app, name, pyatspi.ROLE_PUSH_BUTTON)
        action = key.queryAction()
        if action.getName(0) != "Press":
            print("%s: action %r" % (name, action.getName(0)))
        action.doAction(0)
        time.sleep(0.1)

    display = named(app, "Anzeige")
    tape = named(app, "Papierstreifen")
    deadline = time.time() + 5
    while time.time() < deadline and text_of(display) != "3.0000":
        time.sleep(0.1)
    shown, printed = text_of(display), text_of(tape).rstrip("\n").split("\n")
    print("display: %r, last tape line: %r" % (shown, printed[-1]))
    if not (shown == "3.0000" and printed[-1].strip() == "3.0000"):
        sys.exit(1)

    # The program sheet, opened from the "Programme" menu: a table with one row
    # per step (the imported program has three, and the empty row after them),
    # each reading as one sentence, the counter's row selected.
    entry = named(app, "Programmblatt", pyatspi.ROLE_MENU_ITEM)
    entry.queryAction().doAction(0)
    sheet = None
    deadline = time.time() + 10
    while sheet is None and time.time() < deadline:
        sheet = find(app, lambda n: n.name == "Programmblatt" and n.getRole() == pyatspi.ROLE_TABLE)
        if sheet is None:
            time.sleep(0.2)
    if sheet is None:
        print("no table named 'Programmblatt'")
        sys.exit(1)
    table = sheet.queryTable()
    rows = [table.getAccessibleAt(r, 0).name for r in range(table.nRows)]
    selected = list(table.getSelectedRows())
    print("sheet rows: %r, selected: %r" % (rows, selected))
    ok = rows == ["Schritt 001: 070 S", "Schritt 002: 071 C", "Schritt 003: 072 T", "Schritt 004: leer"]
    sys.exit(0 if ok and selected == [0] else 1)


if __name__ == "__main__":
    main()
