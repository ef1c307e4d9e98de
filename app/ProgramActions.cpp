// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramActions.h"

#include "app/ClipboardActions.h"
#include "app/Dialogs.h"
#include "app/ProgramFiles.h"
#include "app/ProgramName.h"
#include "app/ProgramPicker.h"

#include "engine/Engine.h"
#include "storage/Collection.h"
#include "storage/Quote.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

namespace vx {

namespace ProgramActions {

void load(const SavedProgram& program, Engine& engine) {
    engine.loadProgram(program.steps);
}

namespace {

// A hand-written library may hold names of any length and any character;
// a title quotes a short, printable piece.
QString quoted(const SavedProgram& p) {
    return QStringLiteral("Programm %1 „%2“").arg(p.number).arg(QString::fromStdString(Quote::shown(p.name)));
}

void failed(const UserPrograms::Failure& failure, QWidget* parent) {
    if (failure.changedMeanwhile) {
        // Another window changed the file since this menu was built: the
        // entry the user chose is not where it was, so nothing was touched.
        Dialogs::tell(
            parent, QMessageBox::Warning, QStringLiteral("Programme"), failure.why,
            QStringLiteral("Es wurde nichts gespeichert oder gelöscht. Das Menü zeigt jetzt "
                           "die Programme, wie sie in der Datei stehen; bitte noch einmal wählen."));
        return;
    }
    Dialogs::tell(parent, QMessageBox::Warning, QStringLiteral("Speichern fehlgeschlagen"),
                  QStringLiteral("Speichern fehlgeschlagen"), failure.why);
}

// Asks, then takes the program out of the library; `why` comes before the
// informative text ("Der Programmspeicher ist leer. ").
void removeAsked(UserPrograms& library, const SavedProgram& target, const QString& why, QWidget* parent) {
    if (!Dialogs::confirm(parent, QMessageBox::Warning, QStringLiteral("Programm löschen"),
                          quoted(target) + QStringLiteral(" löschen?"),
                          why + QStringLiteral("Das Programm wird aus der Liste entfernt; die folgenden "
                                               "rücken nach."),
                          QStringLiteral("Löschen")))
        return;
    UserPrograms::Failure error;
    if (!library.remove(target, &error)) failed(error, parent);
}

} // namespace

bool save(Engine& engine, UserPrograms& library, const std::optional<SavedProgram>& target, QWidget* parent) {
    const std::vector<Step> steps = engine.programSteps();
    UserPrograms::Failure error;
    if (steps.empty()) {
        if (!target) {
            Dialogs::tell(parent, QMessageBox::Information, QStringLiteral("Programm speichern"),
                          QStringLiteral("Der Programmspeicher ist leer."),
                          QStringLiteral("Es gibt nichts zu speichern."));
            return false;
        }
        removeAsked(library, *target, QStringLiteral("Der Programmspeicher ist leer. "), parent);
        return false;
    }
    const QString title =
        target ? quoted(*target) + QStringLiteral(" überschreiben") : QStringLiteral("Programm speichern");
    const QString initial = target ? QString::fromStdString(target->name) : QString();
    const auto name = askName(title, initial, parent);
    if (!name) return false;
    if (!library.save(steps, *name, target, &error)) {
        failed(error, parent);
        return false;
    }
    return true;
}

void showFolder(UserPrograms& library, QWidget* parent) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(library.folder().toStdString()), ignored);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(library.folder()))) return;
    // No file manager to hand the folder to: at least say where it is.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Programmordner"),
                    QStringLiteral("Es ließ sich kein Dateimanager starten."), QMessageBox::Ok, parent);
    box.setInformativeText(QStringLiteral("Der Programmordner ist:\n") + library.folder());
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    Dialogs::fitTitle(box);
    box.exec();
}

QString label(const SavedProgram& program, const QFontMetrics& metrics, int width) {
    // A name may be megabytes long in a hand-made file; only its start can show.
    const std::string title = program.title();
    return metrics.elidedText(QString::fromStdString(title.substr(0, 400)), Qt::ElideRight, width);
}

namespace {

// The library may have changed by the time "Alle Programme …" answers; what
// the user picks is checked against the file when it is saved.
std::optional<SavedProgram> pickFromAll(UserPrograms& library, bool loading, QWidget* parent,
                                        const QString& title = {}) {
    const std::vector<SavedProgram> all = library.programs();
    const auto index = pickProgram(all, loading, parent, title);
    if (!index) return std::nullopt;
    return all[*index];
}

// The first programs of the library as the menu shows them, with their labels.
struct MenuEntries {
    std::size_t shown;
    QFontMetrics metrics;
    int width;
    std::optional<QString> problem;
};

MenuEntries entriesFor(const QMenu& menu, UserPrograms& library, std::size_t count) {
    const QFontMetrics metrics(menu.font());
    std::optional<QString> problem;
    if (library.problem()) problem = QStringLiteral("„%1“ %2").arg(library.url(), *library.problem());
    return {std::min(count, static_cast<std::size_t>(menuEntries)), metrics, metrics.averageCharWidth() * 60,
            problem};
}

using Known = std::function<void(const QString&)>;

void tell(const Known& known, const QString& what) {
    if (known) known(what);
}

void addLoadMenu(QMenu& menu, Engine& engine, UserPrograms& library,
                 const std::vector<SavedProgram>& programs, const MenuEntries& entries, QWidget* parent,
                 const Known& known) {
    QMenu* loadMenu = menu.addMenu(QStringLiteral("Programm laden"));
    loadMenu->setEnabled(engine.power());
    if (entries.problem)
        loadMenu->addAction(*entries.problem)->setEnabled(false);
    else if (programs.empty())
        loadMenu->addAction(QStringLiteral("Keine gespeicherten Programme"))->setEnabled(false);
    for (std::size_t i = 0; i < entries.shown; ++i) {
        const SavedProgram& p = programs[i];
        QAction* a = loadMenu->addAction(label(p, entries.metrics, entries.width));
        a->setEnabled(!p.error);
        QObject::connect(a, &QAction::triggered, &menu, [&engine, steps = p.steps, known] {
            engine.loadProgram(steps);
            tell(known, QStringLiteral("Programm laden"));
        });
    }
    if (programs.size() > entries.shown) {
        QObject::connect(loadMenu->addAction(QStringLiteral("Alle Programme …")), &QAction::triggered, &menu,
                         [&engine, &library, parent, known] {
                             if (const auto p = pickFromAll(library, true, parent)) {
                                 load(*p, engine);
                                 tell(known, QStringLiteral("Programm laden"));
                             }
                         });
    }
}

void addSaveMenu(QMenu& menu, Engine& engine, UserPrograms& library,
                 const std::vector<SavedProgram>& programs, const MenuEntries& entries, QWidget* parent,
                 const Known& known) {
    QMenu* saveMenu = menu.addMenu(QStringLiteral("Programm speichern"));
    saveMenu->setEnabled(engine.power());
    if (entries.problem) saveMenu->addAction(*entries.problem)->setEnabled(false);
    for (std::size_t i = 0; i < entries.shown; ++i) {
        const SavedProgram& p = programs[i];
        QAction* a = saveMenu->addAction(label(p, entries.metrics, entries.width));
        QObject::connect(a, &QAction::triggered, &menu, [&engine, &library, p, parent, known] {
            if (save(engine, library, p, parent)) tell(known, QStringLiteral("Programm speichern"));
        });
    }
    if (programs.size() > entries.shown) {
        QObject::connect(saveMenu->addAction(QStringLiteral("Alle Programme …")), &QAction::triggered, &menu,
                         [&engine, &library, parent, known] {
                             if (const auto p = pickFromAll(library, false, parent))
                                 if (save(engine, library, p, parent))
                                     tell(known, QStringLiteral("Programm speichern"));
                         });
    }
    if (!programs.empty()) saveMenu->addSeparator();
    QAction* fresh = saveMenu->addAction(QStringLiteral("Neu …"));
    QObject::connect(fresh, &QAction::triggered, &menu, [&engine, &library, parent, known] {
        if (save(engine, library, std::nullopt, parent)) tell(known, QStringLiteral("Programm speichern"));
    });
    // Deleting is also reached directly, not only by saving an empty memory.
    QAction* remove = menu.addAction(QStringLiteral("Programm löschen …"));
    remove->setEnabled(!programs.empty() && !entries.problem);
    QObject::connect(remove, &QAction::triggered, &menu, [&library, parent] {
        if (const auto p = pickFromAll(library, false, parent, QStringLiteral("Programm löschen")))
            removeAsked(library, *p, QString(), parent);
    });
}

// "Programmsammlung": a submenu per area with the programs of the current
// model, and the way to copy the one loaded into the user's library.
void addCollectionMenu(QMenu& menu, Engine& engine, UserPrograms& library, const Collection& collection,
                       QWidget* parent, const Known& known) {
    QMenu* shelf = menu.addMenu(QStringLiteral("Programmsammlung"));
    shelf->setEnabled(engine.power());
    const QFontMetrics metrics(menu.font());
    for (const CollectionArea& area : collection.areas(engine.model())) {
        QMenu* areaMenu = shelf->addMenu(area.title);
        if (area.programs.empty()) areaMenu->addAction(QStringLiteral("Keine Programme"))->setEnabled(false);
        for (const SavedProgram& p : area.programs) {
            QAction* a = areaMenu->addAction(metrics.elidedText(
                QString::fromStdString(p.name), Qt::ElideRight, metrics.averageCharWidth() * 60));
            a->setEnabled(!p.error);
            QObject::connect(a, &QAction::triggered, &menu, [&engine, steps = p.steps, known] {
                engine.loadProgram(steps);
                tell(known, QStringLiteral("Programm laden"));
            });
        }
    }
    shelf->addSeparator();
    QAction* adoptIt = shelf->addAction(QStringLiteral("In meine Bibliothek übernehmen"));
    adoptIt->setEnabled(collection.holding(engine.programSteps(), engine.model()).has_value());
    QObject::connect(adoptIt, &QAction::triggered, &menu, [&engine, &library, &collection, parent, known] {
        if (adopt(engine, library, collection, parent))
            tell(known, QStringLiteral("In meine Bibliothek übernehmen"));
    });
}

} // namespace

bool adopt(Engine& engine, UserPrograms& library, const Collection& collection, QWidget* parent) {
    const std::vector<Step> steps = engine.programSteps();
    const auto program = collection.holding(steps, engine.model());
    if (!program) return false;
    for (const SavedProgram& p : library.programs())
        if (p.steps == steps && p.name == program->name) {
            Dialogs::tell(parent, QMessageBox::Information, QStringLiteral("Programmsammlung"),
                          quoted(p) + QStringLiteral(" steht schon in Ihrer Bibliothek."),
                          QStringLiteral("Es wurde nichts gespeichert."));
            return true;
        }
    UserPrograms::Failure error;
    if (!library.save(steps, QString::fromStdString(program->name), std::nullopt, &error)) {
        failed(error, parent);
        return false;
    }
    return true;
}

TapeEntries fillTapeMenu(QMenu& menu, Engine& engine, QWidget* parent) {
    QAction* tear = menu.addAction(QStringLiteral("Papierstreifen abreißen"));
    tear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QObject::connect(tear, &QAction::triggered, &menu, [&engine] { engine.clearTape(); });
    const bool hasTape = !engine.tape().empty();
    const std::pair<QString, QKeySequence> tapeEntries[] = {
        {QStringLiteral("Papierstreifen kopieren"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {QStringLiteral("Papierstreifen sichern …"), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {QStringLiteral("Papierstreifen drucken …"), QKeySequence(Qt::CTRL | Qt::Key_P)}};
    const std::function<void()> tapeActions[] = {
        [&engine] { ClipboardActions::copyTape(engine); },
        [&engine, parent] { ClipboardActions::saveTape(engine, parent); },
        [&engine, parent] { ClipboardActions::printTape(engine, parent); }};
    QList<QAction*> needTape;
    for (int i = 0; i < 3; ++i) {
        QAction* a = menu.addAction(tapeEntries[i].first);
        needTape << a;
        a->setShortcut(tapeEntries[i].second);
        a->setEnabled(hasTape);
        QObject::connect(a, &QAction::triggered, &menu, tapeActions[i]);
    }
    return {tear, needTape};
}

void fillMenu(QMenu& menu, Engine& engine, UserPrograms& library, QWidget* parent, const Known& known,
              const Collection* collection) {
    // Both submenus show the same reading of the library.
    const std::vector<SavedProgram>& programs = library.programs();
    const MenuEntries entries = entriesFor(menu, library, programs.size());
    addLoadMenu(menu, engine, library, programs, entries, parent, known);
    if (collection) addCollectionMenu(menu, engine, library, *collection, parent, known);
    addSaveMenu(menu, engine, library, programs, entries, parent, known);

    QAction* copyProgram = menu.addAction(QStringLiteral("Programm kopieren"));
    copyProgram->setEnabled(!engine.programSteps().empty());
    QObject::connect(copyProgram, &QAction::triggered, &menu,
                     [&engine] { ClipboardActions::copyProgram(engine); });
    QAction* pasteProgram = menu.addAction(QStringLiteral("Programm einfügen"));
    pasteProgram->setEnabled(engine.power());
    QObject::connect(pasteProgram, &QAction::triggered, &menu, [&engine, parent, known] {
        if (ClipboardActions::pasteProgram(engine, parent)) tell(known, QStringLiteral("Programm einfügen"));
    });
    QAction* exportProgram = menu.addAction(QStringLiteral("Programm exportieren …"));
    exportProgram->setEnabled(!engine.programSteps().empty());
    QObject::connect(exportProgram, &QAction::triggered, &menu, [&engine, parent, known] {
        if (ProgramFiles::exportProgram(engine, parent)) tell(known, QStringLiteral("Programm exportieren"));
    });
    QAction* importProgram = menu.addAction(QStringLiteral("Programm importieren …"));
    importProgram->setEnabled(engine.power());
    QObject::connect(importProgram, &QAction::triggered, &menu, [&engine, parent, known] {
        if (ProgramFiles::importProgram(engine, parent)) tell(known, QStringLiteral("Programm importieren"));
    });

    menu.addSeparator();
    QAction* folder = menu.addAction(QStringLiteral("Programmordner im Dateimanager zeigen"));
    QObject::connect(folder, &QAction::triggered, &menu, [&library, parent] { showFolder(library, parent); });
}

} // namespace ProgramActions
} // namespace vx
