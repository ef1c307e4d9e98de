// SPDX-License-Identifier: GPL-3.0-or-later
// Asking for a program's name: the field that keeps only what a name may
// hold, and the dialog around it.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

namespace vx {

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
std::optional<QString> askName(const QString& title, const QString& initial, QWidget* parent);
// Spaces cut and joined again: "  Zins   2 " is "Zins 2".
QString collapsedName(const QString& text);
} // namespace ProgramActions

} // namespace vx
