#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The timeline over the accessibility bus, as a screen reader's user moves
it: a fast run of 99,999,999 steps, the sheet's "Verlauf" slider set to its
middle, and the machine there checked against the loop's closed form:
register 1 counts the rounds of fourteen steps whose third step is done.
Exit status 0 when the machine stood there within half a second."""
import sys
import time

import pyatspi

from atspi_check import application, find, named, text_of

app = application()
display = named(app, "Anzeige")
named(app, "Start/Stopp", pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
deadline = time.time() + 60
time.sleep(0.5)
while time.time() < deadline and text_of(display) == "Programm läuft":
    time.sleep(0.2)
named(app, "Programmblatt", pyatspi.ROLE_MENU_ITEM).queryAction().doAction(0)
slider = None
deadline = time.time() + 10
while slider is None and time.time() < deadline:
    slider = find(app, lambda n: n.name == "Verlauf" and n.getRole() == pyatspi.ROLE_SLIDER)
    time.sleep(0.2)
if slider is None:
    print("no slider named 'Verlauf'")
    sys.exit(1)
value = slider.queryValue()
steps = int(value.maximumValue)
middle = steps // 2
began = time.time()
value.currentValue = middle
registers = find(app, lambda n: n.name == "Register" and n.getRole() == pyatspi.ROLE_TABLE).queryTable()
want = middle // 14 + (1 if middle % 14 >= 3 else 0)
shown = None
while time.time() - began < 2:
    shown = float(registers.getAccessibleAt(1, 1).name.replace(",", ""))
    if shown == want:
        break
    time.sleep(0.02)
took = time.time() - began
print("run of %d steps; step %d: register 1 shows %r, closed form %d, after %.3f s" % (steps, middle, shown, want, took))
sys.exit(0 if steps == 99999999 and shown == want and took < 0.5 else 1)
