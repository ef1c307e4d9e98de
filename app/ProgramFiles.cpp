// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFiles.h"

#include "app/Clipboard.h"
#include "app/Dialogs.h"
#include "app/ModelNames.h"
#include "app/ProgramActions.h"
#include "app/ProgramName.h"
#include "app/ProgramPicker.h"
#include "engine/Engine.h"
#include "storage/ProgramText.h"
#include "storage/Quote.h"
#include "storage/SafeFile.h"
#include "storage/UserFiles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace vx::ProgramFiles {

namespace {

QString named(const QString& path) {
    return QStringLiteral("„%1“").arg(QString::fromStdString(Quote::escaped(path.toStdString())));
}

QString named(const SafeFile::Path& path) {
    return QStringLiteral("„%1“").arg(QString::fromStdString(Quote::escaped(path)));
}

void refuse(QWidget* parent, const SafeFile::Path& path, const QString& why) {
    Dialogs::tell(parent, QMessageBox::Warning, QStringLiteral("Programm importieren"),
                  QStringLiteral("Kein Programm importiert"), named(path) + QStringLiteral(": ") + why);
}

// The model a file names in its first line ("VELTRANIX 412"), if any.
std::optional<Model> modelNamed(const QString& text) {
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.section(QLatin1Char(';'), 0, 0).trimmed();
        if (line.isEmpty()) continue;
        if (!line.startsWith(QLatin1String("VELTRANIX "), Qt::CaseInsensitive)) return std::nullopt;
        return modelFromRaw(line.mid(10).trimmed().toStdString());
    }
    return std::nullopt;
}

} // namespace

QString proposedFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    if (!QFileInfo(folder).isDir()) folder = QDir::tempPath();
    return folder;
}

std::optional<QString> exportTo(const Engine& engine, const QString& path, const QString& name) {
    const std::vector<Step> steps = engine.programSteps();
    if (steps.empty()) return QStringLiteral("Der Programmspeicher ist leer.");
    const QString text =
        ProgramText::format({SavedProgram{1, name.toStdString(), steps, std::nullopt}}, engine.model());
    return SafeFile::writeChecked(SafeFile::fromQt(path), text.toUtf8(), userFiles());
}

bool exportProgram(const Engine& engine, QWidget* parent) {
    if (engine.programSteps().empty()) {
        Dialogs::tell(parent, QMessageBox::Information, QStringLiteral("Programm exportieren"),
                      QStringLiteral("Der Programmspeicher ist leer."),
                      QStringLiteral("Es gibt nichts zu exportieren."));
        return false;
    }
    QFileDialog dialog(parent, QStringLiteral("Programm exportieren"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Programmtext (*.txt)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(proposedFolder() + QStringLiteral("/Programm.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().constFirst();
    // The file's name is the program's, as far as a name may hold it.
    QString name = ProgramActions::collapsedName(NameFilter::filtered(QFileInfo(path).completeBaseName()));
    if (name.isEmpty()) name = QStringLiteral("Programm");
    if (const auto why = exportTo(engine, path, name)) {
        Dialogs::tell(parent, QMessageBox::Warning, QStringLiteral("Programm exportieren"),
                      QStringLiteral("Exportieren fehlgeschlagen"),
                      named(path) + QStringLiteral(": ") + *why);
        return false;
    }
    return true;
}

bool importFrom(Engine& engine, const QString& path, QWidget* parent) {
    return importFrom(engine, SafeFile::fromQt(path), parent);
}

bool importFrom(Engine& engine, const SafeFile::Path& path, QWidget* parent) {
    if (!engine.power()) {
        refuse(parent, path, QStringLiteral("Der Rechner ist ausgeschaltet."));
        return false;
    }
    const SafeFile::Read file = SafeFile::read(path, maxBytes);
    if (file.missing) {
        refuse(parent, path, QStringLiteral("gibt es nicht"));
        return false;
    }
    if (file.problem) {
        refuse(parent, path, *file.problem);
        return false;
    }
    const ProgramText::Decoded text = ProgramText::read(file.bytes);
    if (text.problem) {
        refuse(parent, path, *text.problem);
        return false;
    }
    const auto named = modelNamed(text.text);
    if (named && *named != engine.model()) {
        refuse(parent, path,
               QStringLiteral("Die Datei enthält Programme für den %1; eingestellt ist der %2.")
                   .arg(menuTitle(*named), menuTitle(engine.model())));
        return false;
    }
    std::vector<SavedProgram> programs = ProgramText::parse(text.text, engine.model());
    std::vector<Step> steps;
    if (programs.size() > 1) {
        const auto chosen = ProgramActions::pickProgram(programs, true, parent);
        if (!chosen) return false;
        steps = programs[*chosen].steps;
    } else {
        // One program, or bare step lines, read as a pasted text is.
        const Clipboard::PastedProgram one = Clipboard::programFrom(text.text, engine.model());
        if (!one.problem.isEmpty()) {
            // First that the file holds no program, then what was found instead.
            refuse(parent, path,
                   one.problem == QStringLiteral("Die Zwischenablage enthält kein Programm.")
                       ? QStringLiteral("enthält kein Programm")
                       : QStringLiteral("enthält kein Programm (%1)").arg(one.problem));
            return false;
        }
        steps = one.steps;
    }
    if (!engine.programSteps().empty() &&
        !Dialogs::confirm(parent, QMessageBox::Question, QStringLiteral("Programm importieren"),
                          QStringLiteral("Programmspeicher überschreiben?"),
                          QStringLiteral("Das Programm aus der Datei ersetzt das Programm im Speicher."),
                          QStringLiteral("Überschreiben")))
        return false;
    engine.loadProgram(steps);
    return true;
}

bool importProgram(Engine& engine, QWidget* parent) {
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Programm importieren"), proposedFolder(),
                                     QStringLiteral("Programmtext (*.txt);;Alle Dateien (*)"));
    if (path.isEmpty()) return false;
    return importFrom(engine, path, parent);
}

} // namespace vx::ProgramFiles
