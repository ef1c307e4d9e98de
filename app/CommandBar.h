// SPDX-License-Identifier: GPL-3.0-or-later
// "Aktion suchen …": one list of everything the window can do, found by
// typing: every menu entry, every panel key by the name a screen reader
// gives it ("Sinus", "Ziffer 7") and every switch position ("Betriebsart:
// LOAD"). Enter carries out the chosen one, so the whole calculator can be
// worked from the keyboard.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class QLineEdit;
class QListWidget;
class QMenuBar;

namespace vx {

class CalculatorView;

class CommandBar : public QDialog {
    Q_OBJECT
  public:
    struct Command {
        QString text;
        std::function<void()> run;
    };
    // The commands of the window's menus and of its panel.
    static std::vector<Command> commandsOf(const QMenuBar& menus, CalculatorView& panel);

    CommandBar(std::vector<Command> commands, QWidget* parent);
    QLineEdit* field() const { return field_; }
    QListWidget* list() const { return list_; }
    // The commands whose text holds every word typed, in their order.
    QStringList shown() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void filter();
    void runChosen();
    std::vector<Command> commands_;
    QLineEdit* field_;
    QListWidget* list_;
};

} // namespace vx
