// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandBar.h"

#include "panel/CalculatorView.h"
#include "panel/Controls.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

namespace {

void addMenu(std::vector<CommandBar::Command>& out, const QMenu& menu, const QString& path) {
    for (QAction* a : menu.actions()) {
        if (a->isSeparator() || !a->isVisible()) continue;
        const QString text = path + QStringLiteral(" › ") + QString(a->text()).remove(QLatin1Char('&'));
        if (a->menu()) {
            addMenu(out, *a->menu(), text);
        } else if (a->isEnabled()) {
            const QString shortcut = a->shortcut().toString(QKeySequence::NativeText);
            out.push_back({shortcut.isEmpty() ? text : text + QStringLiteral("  (%1)").arg(shortcut),
                           [a] { a->trigger(); }});
        }
    }
}

} // namespace

std::vector<CommandBar::Command> CommandBar::commandsOf(const QMenuBar& menus, CalculatorView& panel) {
    std::vector<Command> out;
    for (QAction* a : menus.actions())
        if (a->menu() && a->isVisible())
            addMenu(out, *a->menu(), QString(a->text()).remove(QLatin1Char('&')));
    for (KeyButton* key : panel.findChildren<KeyButton*>())
        out.push_back({QStringLiteral("Taste %1").arg(key->accessibleName()), [key] {
                           key->flash();
                           key->activate();
                       }});
    for (SlideSwitch* slide : panel.findChildren<SlideSwitch*>())
        for (int i = 0; i < slide->positionNames.size(); ++i)
            out.push_back({QStringLiteral("%1: %2").arg(slide->accessibleName(), slide->positionNames[i]),
                           [slide, i] { slide->choose(i); }});
    return out;
}

CommandBar::CommandBar(std::vector<Command> commands, QWidget* parent)
    : QDialog(parent), commands_(std::move(commands)) {
    setWindowTitle(QStringLiteral("Aktion suchen"));
    auto* layout = new QVBoxLayout(this);
    field_ = new QLineEdit(this);
    field_->setPlaceholderText(QStringLiteral("Menüeintrag, Taste oder Schalter …"));
    field_->setAccessibleName(QStringLiteral("Aktion suchen"));
    list_ = new QListWidget(this);
    list_->setAccessibleName(QStringLiteral("Gefundene Aktionen"));
    layout->addWidget(field_);
    layout->addWidget(list_);
    resize(520, 420);
    connect(field_, &QLineEdit::textChanged, this, [this] { filter(); });
    connect(list_, &QListWidget::itemActivated, this, [this] { runChosen(); });
    field_->installEventFilter(this);
    filter();
}

QStringList CommandBar::shown() const {
    QStringList out;
    for (int i = 0; i < list_->count(); ++i) out << list_->item(i)->text();
    return out;
}

void CommandBar::filter() {
    const QStringList words = field_->text().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    list_->clear();
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        const QString& text = commands_[i].text;
        const bool all = std::all_of(words.begin(), words.end(), [&text](const QString& w) {
            return text.contains(w, Qt::CaseInsensitive);
        });
        if (!all) continue;
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    list_->setCurrentRow(list_->count() ? 0 : -1);
}

// Up and Down move through the list while the typing stays in the field.
bool CommandBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            QCoreApplication::sendEvent(list_, event);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runChosen();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CommandBar::runChosen() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    const std::function<void()> run =
        commands_[static_cast<std::size_t>(item->data(Qt::UserRole).toInt())].run;
    accept();
    // After the bar has gone, so that a menu entry's own dialog opens over the window.
    QTimer::singleShot(0, parentWidget(), run);
}

} // namespace vx
