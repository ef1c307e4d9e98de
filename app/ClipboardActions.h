// SPDX-License-Identifier: GPL-3.0-or-later
// The menu entries that take numbers, programs and the paper strip out of
// the window and bring numbers and programs back in.
#pragma once

#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace vx {

class Engine;

namespace ClipboardActions {

// "Zahl kopieren" and "Zahl einfügen", enabled for the machine as it is now.
struct NumberEntries {
    QAction* copy;
    QAction* paste;
};
NumberEntries addNumberEntries(QMenu& menu, Engine& engine, QWidget* parent);
// Both are false (nothing happens) where the entries would be disabled.
bool copyNumber(Engine& engine);
// Types the clipboard's number; returns why not (and beeps), or an empty text.
QString pasteNumber(Engine& engine, QWidget* parent);

void copyProgram(Engine& engine);
// True when the pasted program is in memory.
bool pasteProgram(Engine& engine, QWidget* parent);

void copyTape(Engine& engine);
void saveTape(Engine& engine, QWidget* parent);
void printTape(Engine& engine, QWidget* parent);
// The file name the save dialog proposes: the documents folder, date and time.
QString proposedTapeFile();
// Writes the tape to `path`; shows "Sichern fehlgeschlagen" with the reason when it fails.
bool saveTapeTo(Engine& engine, const QString& path, QWidget* parent);

} // namespace ClipboardActions
} // namespace vx
