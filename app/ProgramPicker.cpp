// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramPicker.h"

#include "app/ProgramActions.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vx::ProgramActions {
namespace {

// The whole library in a list with a filter field, for libraries longer
// than a menu can sensibly show. Typing filters; the arrow keys move in the
// list; Return takes the entry.
class ProgramPicker : public QDialog {
  public:
    ProgramPicker(const std::vector<SavedProgram>& programs, bool loading, QWidget* parent)
        : QDialog(parent) {
        setWindowTitle(loading ? QStringLiteral("Programm laden") : QStringLiteral("Programm speichern"));
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        filter = new QLineEdit(this);
        filter->setObjectName(QStringLiteral("filter"));
        filter->setPlaceholderText(QStringLiteral("Suchen"));
        filter->installEventFilter(this);
        layout->addWidget(filter);
        list = new QListWidget(this);
        list->setObjectName(QStringLiteral("programs"));
        list->setUniformItemSizes(true);
        list->setMinimumSize(420, 360);
        const QFontMetrics metrics(list->font());
        for (std::size_t i = 0; i < programs.size(); ++i) {
            auto* item = new QListWidgetItem(label(programs[i], metrics, 600), list);
            item->setData(Qt::UserRole, static_cast<qulonglong>(i));
            if (loading && programs[i].error) item->setFlags(Qt::NoItemFlags);
        }
        layout->addWidget(list);
        auto* buttons = new QDialogButtonBox(this);
        choose = buttons->addButton(loading ? QStringLiteral("Laden") : QStringLiteral("Auswählen"),
                                    QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        choose->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(list, &QListWidget::itemActivated, this, &QDialog::accept);
        connect(list, &QListWidget::currentItemChanged, this,
                [this] { choose->setEnabled(chosen().has_value()); });
        connect(filter, &QLineEdit::textChanged, this, &ProgramPicker::applyFilter);
        layout->addWidget(buttons);
        applyFilter();
        filter->setFocus();
    }

    std::optional<std::size_t> chosen() const {
        const QListWidgetItem* item = list->currentItem();
        if (!item || item->isHidden() || !(item->flags() & Qt::ItemIsEnabled)) return std::nullopt;
        return static_cast<std::size_t>(item->data(Qt::UserRole).toULongLong());
    }

    QLineEdit* filter;
    QListWidget* list;
    QPushButton* choose;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The arrow keys in the filter field move the choice in the list.
        if (watched == filter && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                key == Qt::Key_PageDown) {
                QApplication::sendEvent(list, event);
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

  private:
    void applyFilter() {
        const QString wanted = filter->text().trimmed();
        QListWidgetItem* first = nullptr;
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            const bool shown = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
            item->setHidden(!shown);
            if (shown && !first && (item->flags() & Qt::ItemIsEnabled)) first = item;
        }
        QListWidgetItem* current = list->currentItem();
        if (!current || current->isHidden()) list->setCurrentItem(first);
        choose->setEnabled(chosen().has_value());
    }
};

} // namespace

std::optional<std::size_t> pickProgram(const std::vector<SavedProgram>& programs, bool loading,
                                       QWidget* parent, const QString& title) {
    ProgramPicker picker(programs, loading, parent);
    if (!title.isEmpty()) picker.setWindowTitle(title);
    if (picker.exec() != QDialog::Accepted) return std::nullopt;
    return picker.chosen();
}

} // namespace vx::ProgramActions
