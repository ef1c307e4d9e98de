// SPDX-License-Identifier: GPL-3.0-or-later
// The two kinds of alert the shell shows: a question whose first button
// does the thing (the default) beside "Abbrechen", and a notice with the
// single default button.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vx::Dialogs {

// True when the user chose `action`.
bool confirm(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& informative, const QString& action);
void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
          const QString& informative);

// Room beside the title for the title bar's icon and buttons.
inline constexpr int minimumTitleRoom = 120;
// Widens `box` so that its whole title shows.
void fitTitle(QMessageBox& box);

} // namespace vx::Dialogs
