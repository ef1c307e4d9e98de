// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Dialogs.h"

#include <QPushButton>

namespace vx::Dialogs {

bool confirm(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& informative, const QString& action) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setInformativeText(informative);
    QPushButton* yes = box.addButton(action, QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
          const QString& informative) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(informative);
    box.exec();
}

} // namespace vx::Dialogs
