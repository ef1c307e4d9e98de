// SPDX-License-Identifier: GPL-3.0-or-later
// The user's way into the program library: load, save, overwrite or delete,
// with their dialogs, the name filter, and the "Programme" menu.
#pragma once

#include "storage/SavedProgram.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QFontMetrics;
class QLineEdit;
class QMenu;
class QWidget;

namespace vx {

class Engine;
class UserPrograms;

// Keeps what may be typed as a program name: letters and digits of any
// script, blanks and - . , ( ) /, at most 48 characters. Anything else is
// dropped with a beep.
class NameFilter : public QObject {
    Q_OBJECT
  public:
    static constexpr int limit = 48;
    explicit NameFilter(QLineEdit* field);
    static QString filtered(const QString& text);

  private:
    QLineEdit* field_;
};

namespace ProgramActions {
void load(const SavedProgram& program, Engine& engine);
// True when the program memory was saved (not when an entry was deleted).
bool save(Engine& engine, UserPrograms& library, const std::optional<SavedProgram>& target, QWidget* parent);
std::optional<QString> askName(const QString& title, const QString& initial, QWidget* parent);
// Spaces cut and joined again: "  Zins   2 " is "Zins 2".
QString collapsedName(const QString& text);
// Opens the library folder in the file manager, or names it when none can be started.
void showFolder(UserPrograms& library, QWidget* parent);
// A menu label: the title, cut with "…" to fit `width` pixels.
QString label(const SavedProgram& program, const QFontMetrics& metrics, int width);
// The menus list this many programs; the rest are reached through "Alle Programme …".
constexpr int menuEntries = 40;
// The dialog behind "Alle Programme …": the index of the chosen program, if any.
std::optional<std::size_t> pickProgram(const std::vector<SavedProgram>& programs, bool loading,
                                       QWidget* parent);
// The entries of the "Programme" menu, also the panel's context menu.
// `known` is told whenever the program memory becomes one that is kept
// somewhere (loaded, saved, pasted, imported or exported), so that closing
// the window need not ask about it.
void fillMenu(QMenu& menu, Engine& engine, UserPrograms& library, QWidget* parent,
              const std::function<void()>& known = {});
} // namespace ProgramActions

} // namespace vx
