// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/UserPrograms.h"

#include "storage/Quote.h"
#include "storage/SafeFile.h"

#include <QCoreApplication>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace vx {

UserPrograms::UserPrograms(Model model, QObject* parent) : QObject(parent), model_(model) {}

QString UserPrograms::folderFor(Model model) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Veltranix ") + QString::fromStdString(rawValue(model));
}

QString UserPrograms::fileFor(Model model) {
    return folderFor(model) + QStringLiteral("/Veltranix") + QString::fromStdString(rawValue(model)) +
           QStringLiteral("Programs.txt");
}

void UserPrograms::setModel(Model model) {
    if (model == model_) return;
    model_ = model;
    cached_.reset();
    cachedDate_.reset();
    bumpRevision();
}

void UserPrograms::bumpRevision() {
    ++revision_;
    emit revisionChanged();
}

std::optional<QDateTime> UserPrograms::modificationDate() const {
    QFileInfo info(url());
    if (!info.exists()) return std::nullopt;
    QDateTime date = info.lastModified();
    if (!date.isValid()) return std::nullopt;
    return date;
}

namespace {

// After a removal the entries are numbered 1, 2, 3 … again, in file order.
void renumber(std::vector<SavedProgram>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) list[i].number = static_cast<long long>(i) + 1;
}

struct RawFile {
    QByteArray bytes;
    bool exists = false;
    std::optional<QString> problem;
};

// Reads the file only if it is a regular file of sensible size in an
// encoding the reader knows.
RawFile readRaw(const SafeFile::Path& path) {
    SafeFile::Read read = SafeFile::read(path, UserPrograms::maxFileBytes);
    RawFile raw{std::move(read.bytes), !read.missing, read.problem};
    if (!raw.problem)
        if (auto problem = ProgramText::read(raw.bytes).problem) raw.problem = problem;
    if (raw.problem) raw.bytes.clear();
    return raw;
}

// Writes the whole file or nothing; a failure names the file.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* why) {
    if (auto failed = SafeFile::writeChecked(SafeFile::fromQt(path), bytes)) {
        *why = QStringLiteral("„%1“: %2")
                   .arg(QString::fromStdString(Quote::escaped(path.toStdString())), *failed);
        return false;
    }
    return true;
}

// A hand-edited library is kept under a name of its own that no later save
// touches; the .bak beside it only ever holds the file before the last save.
// Once per hand-edited version: an identical copy already kept is enough.
bool keepHandEdit(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo file(path);
    const QString prefix = file.fileName() + QStringLiteral(".handedit-");
    QDir folder = file.dir();
    for (const QString& name : folder.entryList({prefix + QLatin1Char('*')}, QDir::Files)) {
        QFile kept(folder.filePath(name));
        if (kept.size() == bytes.size() && kept.open(QIODevice::ReadOnly) && kept.readAll() == bytes)
            return true;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = folder.filePath(prefix + stamp);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = folder.filePath(prefix + stamp + QStringLiteral("-%1").arg(n));
    return writeAtomically(target, bytes, why);
}

QString lockProblem(const QLockFile& lock, const QString& path) {
    const QString named = QString::fromStdString(Quote::escaped(path.toStdString()));
    if (lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        QString holder;
        if (lock.getLockInfo(&pid, &host, &application))
            holder = QStringLiteral(" (von Prozess %1%2%3)")
                         .arg(pid)
                         .arg(application.isEmpty() ? QString() : QStringLiteral(" „%1“").arg(application))
                         .arg(host.isEmpty() ? QString() : QStringLiteral(" auf %1").arg(host));
        return QStringLiteral(
                   "Die Bibliothek ist gesperrt: die Sperrdatei „%1“ wird gehalten%2. "
                   "Wenn gerade ein anderes Fenster speichert, bitte gleich noch einmal versuchen; "
                   "sonst die Sperrdatei löschen.")
            .arg(named, holder);
    }
    const SafeFile::Target t = SafeFile::target(SafeFile::fromQt(path));
    std::optional<QString> cause = t.refused;
    // QLockFile keeps no error number; the usual causes are asked for
    // directly, so that a full disk is not reported without a reason.
    if (!cause && lock.error() == QLockFile::PermissionError) cause = SafeFile::reason(EACCES);
    struct statvfs disk {};
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (!cause && ::statvfs(folder.constData(), &disk) == 0 && (disk.f_bavail == 0 || disk.f_favail == 0))
        cause = SafeFile::reason(ENOSPC);
    return QStringLiteral("Die Sperrdatei „%1“ lässt sich nicht anlegen%2.")
        .arg(named, cause ? QStringLiteral(": ") + *cause : QString());
}

bool sameEntry(const SavedProgram& a, const SavedProgram& b) {
    return a.number == b.number && a.name == b.name && a.steps == b.steps;
}

} // namespace

LibraryFile UserPrograms::readFile(const QString& path, Model model) {
    return readFile(SafeFile::fromQt(path), model);
}

LibraryFile UserPrograms::readFile(const SafeFile::Path& path, Model model) {
    RawFile raw = readRaw(path);
    return {ProgramText::parse(ProgramText::decode(raw.bytes), model), raw.problem};
}

const std::vector<SavedProgram>& UserPrograms::programs() {
    const auto date = modificationDate();
    if (cached_ && cachedDate_ == date) return *cached_;
    LibraryFile file = readFile(url(), model_);
    problem_ = file.problem;
    cached_ = std::move(file.programs);
    cachedDate_ = date;
    return *cached_;
}

void UserPrograms::checkForChanges() {
    if (!cached_) return;
    if (cachedDate_ == modificationDate()) return;
    cached_.reset();
    bumpRevision();
}

bool UserPrograms::save(const std::vector<Step>& steps, const QString& name,
                        const std::optional<SavedProgram>& chosen, Failure* failure) {
    SavedProgram program{0, name.toStdString(), steps, std::nullopt};
    return change(
        [&](std::vector<SavedProgram>& list, Failure& why) {
            if (!chosen) {
                program.number = static_cast<long long>(list.size()) + 1;
                list.push_back(program);
                return true;
            }
            // The entry shown in the menu must still be the first of its number.
            auto at = std::find_if(list.begin(), list.end(),
                                   [&](const SavedProgram& p) { return p.number == chosen->number; });
            if (at == list.end() || !sameEntry(*at, *chosen)) {
                why.changedMeanwhile = true;
                return false;
            }
            program.number = chosen->number;
            *at = program;
            return true;
        },
        failure);
}

bool UserPrograms::remove(const SavedProgram& chosen, Failure* failure) {
    return change(
        [&](std::vector<SavedProgram>& list, Failure& why) {
            auto at = std::find_if(list.begin(), list.end(),
                                   [&](const SavedProgram& p) { return sameEntry(p, chosen); });
            if (at == list.end()) {
                why.changedMeanwhile = true;
                return false;
            }
            list.erase(at);
            renumber(list);
            return true;
        },
        failure);
}

bool UserPrograms::saveNumber(const std::vector<Step>& steps, const QString& name,
                              std::optional<long long> number, Failure* failure) {
    return change(
        [&](std::vector<SavedProgram>& list, Failure&) {
            SavedProgram program{0, name.toStdString(), steps, std::nullopt};
            auto at = number ? std::find_if(list.begin(), list.end(),
                                            [&](const SavedProgram& p) { return p.number == *number; })
                             : list.end();
            if (at != list.end()) {
                program.number = *number;
                *at = program;
            } else {
                program.number = static_cast<long long>(list.size()) + 1;
                list.push_back(program);
            }
            return true;
        },
        failure);
}

bool UserPrograms::removeNumber(long long number, Failure* failure) {
    return change(
        [&](std::vector<SavedProgram>& list, Failure&) {
            auto at = std::find_if(list.begin(), list.end(),
                                   [&](const SavedProgram& p) { return p.number == number; });
            if (at != list.end()) list.erase(at);
            renumber(list);
            return true;
        },
        failure);
}

bool UserPrograms::change(const Edit& edit, Failure* failure) {
    Failure why;
    auto failed = [&] {
        if (why.changedMeanwhile) {
            why.why = changedMeanwhileText();
            // What the menu showed is out of date: read afresh and rebuild.
            cached_.reset();
            bumpRevision();
        }
        if (failure) *failure = why;
        return false;
    };

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder().toStdString()), ec);
    if (ec) {
        why.why = QStringLiteral("Der Ordner „%1“ lässt sich nicht anlegen: %2")
                      .arg(QString::fromStdString(Quote::escaped(folder().toStdString())),
                           SafeFile::reason(ec.value()));
        return failed();
    }
    const QString lockPath = url() + QStringLiteral(".lock");
    // A folder, a FIFO or a device where the lock belongs is never let go: say so at once.
    if (const auto refused = SafeFile::lockRefused(SafeFile::fromQt(lockPath))) {
        why.why = QStringLiteral("Die Sperrdatei „%1“ lässt sich nicht anlegen: %2.")
                      .arg(QString::fromStdString(Quote::escaped(lockPath.toStdString())), *refused);
        return failed();
    }
    QLockFile lock(lockPath);
    // A lock whose process is gone is taken over at once; one that cannot be
    // read (its writer died while making it) after ten seconds, far longer
    // than any save takes.
    lock.setStaleLockTime(10000);
    if (!SafeFile::lockWithin(lock, lockWait_)) {
        why.why = lockProblem(lock, lockPath);
        return failed();
    }
    // Under the lock the file is what counts, never the cache: another
    // window may have saved a moment ago within the same second.
    RawFile raw = readRaw(SafeFile::fromQt(url()));
    if (raw.problem) {
        why.why = QStringLiteral("„%1“ %2").arg(url(), *raw.problem);
        return failed();
    }
    std::vector<SavedProgram> list = ProgramText::parse(ProgramText::decode(raw.bytes), model_);
    // Anything the writer would not have written was edited by hand.
    const bool handEdited = !raw.bytes.isEmpty() && ProgramText::format(list, model_).toUtf8() != raw.bytes;
    if (!edit(list, why)) return failed();
    if (!writeLocked(raw.exists ? std::optional<QByteArray>(raw.bytes) : std::nullopt, handEdited, list, why))
        return failed();
    return true;
}

bool UserPrograms::writeLocked(const std::optional<QByteArray>& old, bool handEdited,
                               const std::vector<SavedProgram>& list, Failure& failure) {
    const QString path = url();
    if (old) {
        // The previous file stays beside the new one as .bak; a hand-edited
        // one (anything the writer would not have written) also for good.
        if (!writeAtomically(path + QStringLiteral(".bak"), *old, &failure.why)) return false;
        if (handEdited && !keepHandEdit(path, *old, &failure.why)) return false;
    }
    if (!writeAtomically(path, ProgramText::format(list, model_).toUtf8(), &failure.why)) return false;

    cached_ = list;
    cachedDate_ = modificationDate();
    problem_.reset();
    bumpRevision();
    return true;
}

} // namespace vx
