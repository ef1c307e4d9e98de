// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Dialogs.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>

namespace vx::Dialogs {

// A message box sizes itself by its text alone, so a short message under a
// longer title had the title cut off by the window manager. The box is made
// at least as wide as its title plus the title bar's buttons.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + minimumTitleRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(),
                  0, 1, grid->columnCount());
}

bool confirm(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& informative, const QString& action) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setInformativeText(informative);
    QPushButton* yes = box.addButton(action, QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    fitTitle(box);
    box.exec();
    return box.clickedButton() == yes;
}

void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
          const QString& informative) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(informative);
    fitTitle(box);
    box.exec();
}

} // namespace vx::Dialogs
