// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/UserPrograms.h"

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

struct RawFile {
    QByteArray bytes;
    bool exists = false;
    std::optional<QString> problem;
};

QString systemWords(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads the file only if it is a regular file of sensible size. It is opened
// without blocking first and looked at before a byte is read: a FIFO at the
// library's path would otherwise hang the window, and a device never ends.
RawFile readRaw(const QString& path) {
    RawFile raw;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // No file (or no folder) yet: an empty library.
        if (errno != ENOENT && errno != ENOTDIR)
            raw.problem = QStringLiteral("ist nicht lesbar: ") + systemWords(errno);
        return raw;
    }
    raw.exists = true;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        raw.problem = QStringLiteral("ist nicht lesbar: ") + systemWords(errno);
    } else if (!S_ISREG(info.st_mode)) {
        raw.problem = QStringLiteral("ist keine Datei");
    } else if (info.st_size > UserPrograms::maxFileBytes) {
        raw.problem = QStringLiteral("ist zu groß (mehr als 64 MiB)");
    } else {
        raw.bytes.reserve(static_cast<qsizetype>(info.st_size));
        char buffer[65536];
        while (true) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                raw.problem = QStringLiteral("ist nicht lesbar: ") + systemWords(errno);
                break;
            }
            if (n == 0) break;
            raw.bytes.append(buffer, n);
            // A file that grows while we read is no library either.
            if (raw.bytes.size() > UserPrograms::maxFileBytes) {
                raw.problem = QStringLiteral("ist zu groß (mehr als 64 MiB)");
                break;
            }
        }
    }
    ::close(fd);
    if (raw.problem) raw.bytes.clear();
    return raw;
}

// Writes the whole file or nothing. The data must be on the disk before the
// new file takes the old one's place: QSaveFile buffers, and a write that
// fails only when the buffer is flushed (a full disk) must not end in an
// empty file renamed over the user's library.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* why) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *why = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *why = file.errorString();
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

// Another window may be saving: wait for it, briefly. A lock left by a
// process that died is noticed by QLockFile and taken over.
bool lockWithin(QLockFile& lock, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || waited.elapsed() >= milliseconds) return false;
        QThread::msleep(5 + QRandomGenerator::global()->bounded(20));
    }
    return true;
}

QString lockProblem(const QLockFile& lock) {
    if (lock.error() == QLockFile::LockFailedError)
        return QStringLiteral("Die Bibliothek ist gesperrt: ein anderes Fenster speichert gerade. "
                              "Bitte gleich noch einmal versuchen.");
    return QStringLiteral("Die Sperrdatei der Bibliothek lässt sich nicht anlegen.");
}

bool sameEntry(const SavedProgram& a, const SavedProgram& b) {
    return a.number == b.number && a.name == b.name && a.steps == b.steps;
}

} // namespace

LibraryFile UserPrograms::readFile(const QString& path, Model model) {
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
            for (std::size_t i = 0; i < list.size(); ++i) list[i].number = static_cast<long long>(i) + 1;
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
            for (std::size_t i = 0; i < list.size(); ++i) list[i].number = static_cast<long long>(i) + 1;
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
        why.why = QString::fromStdString(ec.message());
        return failed();
    }
    QLockFile lock(url() + QStringLiteral(".lock"));
    // A lock whose process is gone is taken over at once; one that cannot be
    // read (its writer died while making it) after ten seconds, far longer
    // than any save takes.
    lock.setStaleLockTime(10000);
    if (!lockWithin(lock, lockWaitMilliseconds)) {
        why.why = lockProblem(lock);
        return failed();
    }
    // Under the lock the file is what counts, never the cache: another
    // window may have saved a moment ago within the same second.
    RawFile raw = readRaw(url());
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
