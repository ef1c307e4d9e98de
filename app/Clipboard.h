// SPDX-License-Identifier: GPL-3.0-or-later
// What goes between the calculator and other programs through the
// clipboard: the number shown, typed back as keys, and the program memory
// in the library's own text form.
#pragma once

#include "engine/Types.h"
#include "program/Codes.h"

#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

namespace vx {

class Engine;

namespace Clipboard {

// True while the display shows a number: switched on, not in LOAD mode,
// nothing running, listing or shown for a moment, no error.
bool showsNumber(const Engine& engine);
// The number as a spreadsheet of that locale reads it: 13 significant digits,
// no trailing zeros, no grouping, the locale's decimal separator, and "E"
// with the exponent where the display shows one ("1,5E-20").
QString numberText(double value, bool exponentForm, const QLocale& locale);
// The number the display shows now (the one being typed, if any).
QString numberText(const Engine& engine, const QLocale& locale);

// The keys that type the number in `text`, or why there is none. Accepts
// the locale's form and the plain programming form, with blanks as grouping;
// where "1.234" could be either, the locale decides.
struct Typed {
    std::vector<Key> keys;
    QString problem; // empty when `keys` holds the number
};
Typed keysFor(const QString& text, const QLocale& locale);

// The program memory as the library writes one program, under the number
// and name given.
QString programText(const Engine& engine, long long number = 1, const std::string& name = "Programmspeicher");
// The first program in `text`, read as the library reads it; or why not.
struct PastedProgram {
    std::vector<Step> steps;
    QString problem;
};
PastedProgram programFrom(const QString& text, Model model);

} // namespace Clipboard
} // namespace vx
