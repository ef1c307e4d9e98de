// SPDX-License-Identifier: GPL-3.0-or-later
// The user's way into the program library: load, save, overwrite or delete,
// and the "Programme" menu.
#pragma once

#include "storage/SavedProgram.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QFontMetrics;
class QMenu;
class QWidget;

namespace vx {

class Collection;
class Engine;
class UserPrograms;

namespace ProgramActions {
void load(const SavedProgram& program, Engine& engine);
// True when the program memory was saved (not when an entry was deleted).
bool save(Engine& engine, UserPrograms& library, const std::optional<SavedProgram>& target, QWidget* parent);
// Opens the library folder in the file manager, or names it when none can be started.
void showFolder(UserPrograms& library, QWidget* parent);
// A menu label: the title, cut with "…" to fit `width` pixels.
QString label(const SavedProgram& program, const QFontMetrics& metrics, int width);
// The menus list this many programs; the rest are reached through "Alle Programme …".
constexpr int menuEntries = 40;
// The entries of the "Programme" menu, also in the panel's context menu.
// `known` is told whenever the program memory becomes one that is kept
// somewhere (loaded, saved, pasted, imported or exported), so that closing
// the window need not ask about it, with the entry's words ("Programm laden").
// With a `collection`, "Programmsammlung" follows "Programm laden".
void fillMenu(QMenu& menu, Engine& engine, UserPrograms& library, QWidget* parent,
              const std::function<void(const QString&)>& known = {}, const Collection* collection = nullptr);
// Copies the collection program the memory holds into the user's library,
// as a new entry under its name. True when it was saved.
bool adopt(Engine& engine, UserPrograms& library, const Collection& collection, QWidget* parent);
// The tape's entries (tear off, copy, save, print): a menu of their own in
// the menu bar, and in the context menu after the programs'. Returns the
// entries, the ones that need a tape (copy, save, print) apart, to enable
// as the tape comes and goes.
struct TapeEntries {
    QAction* tear = nullptr;
    QList<QAction*> needTape;
};
TapeEntries fillTapeMenu(QMenu& menu, Engine& engine, QWidget* parent);
} // namespace ProgramActions

} // namespace vx
