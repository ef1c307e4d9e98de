// SPDX-License-Identifier: GPL-3.0-or-later
// The panel to assistive technology: keys are push buttons with a press
// action, switches are sliders whose value is their position, the display
// and the paper strip are read-only texts that announce their changes.
#pragma once

#include <QString>

class QAccessibleEvent;

namespace vx {

class Engine;
struct Shown;

namespace Accessibility {

// Makes Qt ask us for the panel's widgets. Safe to call more than once.
void install();
// What the display shows, as a sighted user would read it aloud: the number
// with its sign, point and exponent; the step in LOAD mode; "Fehler";
// "Programm läuft". Blank when the machine is off.
QString displayText(const Shown& shown);
// The colour attribute assistive technology reads for red and black ink.
QString inkAttribute(bool red);

// Every change the panel announces goes through here to the toolkit, which
// passes it on while a screen reader listens, and to the view the part
// belongs to (CalculatorView::announced).
void announce(QAccessibleEvent& event);

} // namespace Accessibility
} // namespace vx
