// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClipboardActions.h"

#include "app/Clipboard.h"
#include "app/Dialogs.h"
#include "engine/Engine.h"
#include "panel/TapeExport.h"
#include "storage/Quote.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolTip>

namespace vx::ClipboardActions {

namespace {

// A refusal the user must notice without a dialog in the way.
void refuse(const QString& why, QWidget* parent) {
    QApplication::beep();
    QToolTip::showText(parent ? parent->mapToGlobal(QPoint(40, 40)) : QCursor::pos(), why, parent, {}, 4000);
}

void failed(const QString& title, const QString& why, QWidget* parent) {
    Dialogs::tell(parent, QMessageBox::Warning, title, title, why);
}

} // namespace

bool copyNumber(Engine& engine) {
    if (!Clipboard::showsNumber(engine)) return false;
    QGuiApplication::clipboard()->setText(Clipboard::numberText(engine, QLocale()));
    return true;
}

QString pasteNumber(Engine& engine, QWidget* parent) {
    if (!engine.power()) return QStringLiteral("Der Rechner ist ausgeschaltet.");
    if (engine.running() || engine.stepBusy() || engine.listing()) {
        // The machine takes no key then; say so instead of dropping the number.
        const QString why = QStringLiteral("Während ein Programm läuft, nimmt der Rechner keine Zahl an.");
        refuse(why, parent);
        return why;
    }
    const Clipboard::Typed typed = Clipboard::keysFor(QGuiApplication::clipboard()->text(), QLocale());
    if (!typed.problem.isEmpty()) {
        refuse(typed.problem, parent);
        return typed.problem;
    }
    for (Key key : typed.keys) engine.press(key);
    return QString();
}

NumberEntries addNumberEntries(QMenu& menu, Engine& engine, QWidget* parent) {
    QAction* copy = menu.addAction(QStringLiteral("Zahl kopieren"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setEnabled(Clipboard::showsNumber(engine));
    QObject::connect(copy, &QAction::triggered, &menu, [&engine] { copyNumber(engine); });
    QAction* paste = menu.addAction(QStringLiteral("Zahl einfügen"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    paste->setEnabled(engine.power());
    QObject::connect(paste, &QAction::triggered, &menu,
                     [&engine, paste, parent] { paste->setStatusTip(pasteNumber(engine, parent)); });
    return {copy, paste};
}

void copyProgram(Engine& engine) {
    if (engine.programSteps().empty()) return;
    QGuiApplication::clipboard()->setText(Clipboard::programText(engine));
}

bool pasteProgram(Engine& engine, QWidget* parent) {
    const Clipboard::PastedProgram pasted =
        Clipboard::programFrom(QGuiApplication::clipboard()->text(), engine.model());
    if (!pasted.problem.isEmpty()) {
        failed(QStringLiteral("Kein Programm eingefügt"), pasted.problem, parent);
        return false;
    }
    if (!engine.programSteps().empty() &&
        !Dialogs::confirm(
            parent, QMessageBox::Question, QStringLiteral("Programm einfügen"),
            QStringLiteral("Programmspeicher überschreiben?"),
            QStringLiteral("Das Programm aus der Zwischenablage ersetzt das Programm im Speicher."),
            QStringLiteral("Überschreiben")))
        return false;
    engine.loadProgram(pasted.steps);
    return true;
}

void copyTape(Engine& engine) {
    if (engine.tape().empty()) return;
    QGuiApplication::clipboard()->setText(TapeExport::text(engine.tape()));
}

QString proposedTapeFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A home without a "Dokumente" folder: propose one that exists.
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    if (!QFileInfo(folder).isDir()) folder = QDir::tempPath();
    return folder + QStringLiteral("/Papierstreifen ") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
           QStringLiteral(".pdf");
}

bool saveTapeTo(Engine& engine, const QString& path, QWidget* parent) {
    if (const auto why = TapeExport::save(path, engine.tape(), engine.tearSeed())) {
        failed(
            QStringLiteral("Sichern fehlgeschlagen"),
            QStringLiteral("„%1“: %2").arg(QString::fromStdString(Quote::escaped(path.toStdString())), *why),
            parent);
        return false;
    }
    return true;
}

void saveTape(Engine& engine, QWidget* parent) {
    if (engine.tape().empty()) return;
    const QString pdf = QStringLiteral("PDF-Dokument (*.pdf)"), text = QStringLiteral("Text (*.txt)"),
                  png = QStringLiteral("PNG-Bild (*.png)");
    QFileDialog dialog(parent, QStringLiteral("Papierstreifen sichern"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({pdf, text, png});
    dialog.selectFile(proposedTapeFile());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.section(QLatin1String("*."), 1).chopped(1));
    });
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QString path = dialog.selectedFiles().constFirst();
    // A name without one of the three extensions takes the chosen format's.
    if (!TapeExport::formatFor(path))
        path += QLatin1Char('.') + dialog.selectedNameFilter().section(QLatin1String("*."), 1).chopped(1);
    saveTapeTo(engine, path, parent);
}

void printTape(Engine& engine, QWidget* parent) {
    if (engine.tape().empty()) return;
    QPrinter printer;
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Papierstreifen"));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!TapeExport::paintPages(printer, engine.tape()))
        failed(QStringLiteral("Drucken fehlgeschlagen"), QStringLiteral("Der Drucker nimmt keine Seiten an."),
               parent);
}

} // namespace vx::ClipboardActions
