#include "app/ProgramActions.h"

#include "engine/Engine.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

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

void load(const SavedProgram& program, Engine& engine) {
    engine.loadProgram(program.steps);
}

QString collapsedName(const QString& text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

namespace {

QString quoted(const SavedProgram& p) {
    return QStringLiteral("Programm %1 „%2“").arg(p.number).arg(QString::fromStdString(p.name));
}

void failed(const QString& why, QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Speichern fehlgeschlagen"),
                    QStringLiteral("Speichern fehlgeschlagen"), QMessageBox::Ok, parent);
    box.setInformativeText(why);
    box.exec();
}

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

void save(Engine& engine, UserPrograms& library, const std::optional<SavedProgram>& target, QWidget* parent) {
    const std::vector<Step> steps = engine.programSteps();
    QString error;
    if (steps.empty()) {
        if (!target) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("Programm speichern"),
                            QStringLiteral("Der Programmspeicher ist leer."), QMessageBox::Ok, parent);
            box.setInformativeText(QStringLiteral("Es gibt nichts zu speichern."));
            box.exec();
            return;
        }
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Programm löschen"),
                        quoted(*target) + QStringLiteral(" löschen?"), QMessageBox::NoButton, parent);
        box.setInformativeText(QStringLiteral("Der Programmspeicher ist leer. Das Programm wird aus der "
                                              "Liste entfernt; die folgenden rücken nach."));
        QPushButton* remove = box.addButton(QStringLiteral("Löschen"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        box.setDefaultButton(remove);
        box.exec();
        if (box.clickedButton() != remove) return;
        if (!library.remove(target->number, &error)) failed(error, parent);
        return;
    }
    const QString title =
        target ? quoted(*target) + QStringLiteral(" überschreiben") : QStringLiteral("Programm speichern");
    const QString initial = target ? QString::fromStdString(target->name) : QString();
    const auto name = askName(title, initial, parent);
    if (!name) return;
    if (!library.save(steps, *name, target ? std::optional<long long>(target->number) : std::nullopt, &error))
        failed(error, parent);
}

void showFolder(UserPrograms& library) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(library.folder().toStdString()), ignored);
    QDesktopServices::openUrl(QUrl::fromLocalFile(library.folder()));
}

void fillMenu(QMenu& menu, Engine& engine, UserPrograms& library, QWidget* parent) {
    const std::vector<SavedProgram> programs = library.programs();
    const bool on = engine.power();

    QMenu* loadMenu = menu.addMenu(QStringLiteral("Programm laden"));
    loadMenu->setEnabled(on);
    if (programs.empty()) {
        loadMenu->addAction(QStringLiteral("Keine gespeicherten Programme"))->setEnabled(false);
    }
    for (const SavedProgram& p : programs) {
        QAction* a = loadMenu->addAction(QString::fromStdString(p.title()));
        a->setEnabled(!p.error);
        QObject::connect(a, &QAction::triggered, &menu, [&engine, p] { load(p, engine); });
    }

    QMenu* saveMenu = menu.addMenu(QStringLiteral("Programm speichern"));
    saveMenu->setEnabled(on);
    for (const SavedProgram& p : programs) {
        QAction* a = saveMenu->addAction(QString::fromStdString(p.title()));
        QObject::connect(a, &QAction::triggered, &menu,
                         [&engine, &library, p, parent] { save(engine, library, p, parent); });
    }
    if (!programs.empty()) saveMenu->addSeparator();
    QAction* fresh = saveMenu->addAction(QStringLiteral("Neu …"));
    QObject::connect(fresh, &QAction::triggered, &menu,
                     [&engine, &library, parent] { save(engine, library, std::nullopt, parent); });

    menu.addSeparator();
    QAction* tear = menu.addAction(QStringLiteral("Papierstreifen abreißen"));
    tear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QObject::connect(tear, &QAction::triggered, &menu, [&engine] { engine.clearTape(); });
    QAction* folder = menu.addAction(QStringLiteral("Programmordner im Finder zeigen"));
    QObject::connect(folder, &QAction::triggered, &menu, [&library] { showFolder(library); });
}

} // namespace ProgramActions
} // namespace vx
