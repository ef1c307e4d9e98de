// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramName.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

NameFilter::NameFilter(QLineEdit* field) : QObject(field), field_(field) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString kept = filtered(text);
        if (kept == text) return;
        const int cursor = field_->cursorPosition() - static_cast<int>(text.size() - kept.size());
        field_->setText(kept);
        field_->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(kept.size())));
        QApplication::beep();
    });
}

QString NameFilter::filtered(const QString& text) {
    static const QString allowed = QStringLiteral(" -.,()/");
    QString out;
    for (QChar c : text)
        if (c.isLetterOrNumber() || allowed.contains(c)) out.append(c);
    return out.left(limit);
}

namespace ProgramActions {
namespace {

class NameDialog : public QDialog {
  public:
    NameDialog(const QString& title, const QString& initial, QWidget* parent) : QDialog(parent) {
        setWindowTitle(title);
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        auto* heading = new QLabel(title, this);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        layout->addWidget(heading);
        layout->addWidget(new QLabel(QStringLiteral("Höchstens 48 Zeichen."), this));
        field = new QLineEdit(initial, this);
        field->setObjectName(QStringLiteral("name"));
        field->setPlaceholderText(QStringLiteral("Name des Programms"));
        field->setMinimumSize(320, 24);
        new NameFilter(field);
        layout->addWidget(field);
        auto* buttons = new QDialogButtonBox(this);
        auto* saveButton = buttons->addButton(QStringLiteral("Speichern"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        saveButton->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        field->setFocus();
    }
    QLineEdit* field;
};

} // namespace

QString collapsedName(const QString& text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

std::optional<QString> askName(const QString& title, const QString& initial, QWidget* parent) {
    NameDialog dialog(title, initial, parent);
    while (true) {
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QString name = collapsedName(dialog.field->text());
        if (!name.isEmpty()) return name;
        // Nothing but blanks: say so and ask again.
        QApplication::beep();
    }
}

} // namespace ProgramActions
} // namespace vx
