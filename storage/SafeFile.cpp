// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SafeFile.h"

#include "storage/Quote.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::SafeFile {

namespace {

// The entry of `folder` whose name the toolkit shows as `shown`, if exactly
// one: a name that is not UTF-8 reaches the toolkit with replacement
// characters and does not encode back to its bytes.
std::optional<std::string> entryShownAs(const Path& folder, const QString& shown) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir))
        if (QFile::decodeName(entry->d_name) == shown) {
            found = entry->d_name;
            ++matches;
        }
    ::closedir(dir);
    if (matches != 1) return std::nullopt;
    return found;
}

} // namespace

Path fromQt(const QString& path) {
    Path bytes = QFile::encodeName(path).toStdString();
    if (!path.contains(QChar::ReplacementCharacter) || ::access(bytes.c_str(), F_OK) == 0) return bytes;
    // Find the real bytes part by part.
    const QStringList parts = path.split(QLatin1Char('/'));
    Path built;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Path name = QFile::encodeName(parts[i]).toStdString();
        if (parts[i].contains(QChar::ReplacementCharacter))
            if (auto real = entryShownAs(i == 0 ? "." : (built.empty() ? "/" : built), parts[i]))
                name = *real;
        built = i == 0 ? name : built + "/" + name;
    }
    return built;
}

QString toQt(const Path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString reason(int error) {
    switch (error) {
    case ENOSPC: return QStringLiteral("kein Platz mehr auf dem Datenträger");
    case EDQUOT: return QStringLiteral("das Speicherkontingent ist erschöpft");
    case EROFS: return QStringLiteral("das Dateisystem ist schreibgeschützt");
    case EACCES:
    case EPERM: return QStringLiteral("keine Berechtigung");
    case ENOENT: return QStringLiteral("nicht gefunden");
    case EISDIR: return QStringLiteral("ist ein Ordner");
    case ENOTDIR: return QStringLiteral("ein Teil des Pfads ist kein Ordner");
    case ENAMETOOLONG: return QStringLiteral("der Name ist zu lang");
    case ELOOP: return QStringLiteral("zu viele symbolische Verweise");
    case EIO: return QStringLiteral("Ein-/Ausgabefehler des Datenträgers");
    case EBUSY: return QStringLiteral("die Datei ist belegt");
    case EFBIG: return QStringLiteral("die Datei wird zu groß");
    case EMFILE:
    case ENFILE: return QStringLiteral("zu viele offene Dateien");
    case ENOMEM: return QStringLiteral("zu wenig Speicher");
    case EXDEV: return QStringLiteral("Ziel auf einem anderen Dateisystem");
    case EPIPE: return QStringLiteral("die Ausgabe wurde geschlossen");
    default: return QStringLiteral("Systemfehler Nr. %1").arg(error);
    }
}

namespace {

Path folderOf(const Path& path) {
    const auto slash = path.find_last_of('/');
    if (slash == Path::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

Path nameOf(const Path& path) {
    const auto slash = path.find_last_of('/');
    return slash == Path::npos ? path : path.substr(slash + 1);
}

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("ist ein Ordner");
    if (S_ISFIFO(mode)) return QStringLiteral("ist eine Pipe (FIFO), keine Datei");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("ist ein Gerät, keine Datei");
    if (S_ISSOCK(mode)) return QStringLiteral("ist ein Socket, keine Datei");
    return QStringLiteral("ist keine gewöhnliche Datei");
}

// Follows a chain of symbolic links to the name a write would replace; a
// dangling link leads to the file it names, which the write then creates.
std::optional<Path> resolve(Path path, int* error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n < 0) {
            *error = errno;
            return std::nullopt;
        }
        Path next(buffer, static_cast<std::size_t>(n));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
    *error = ELOOP;
    return std::nullopt;
}

// A short name of its own, so that a file whose name is near the system's
// limit of 255 bytes can still be written beside it.
Path temporaryBeside(const Path& target) {
    return folderOf(target) + "/.veltranix-XXXXXX";
}

bool sameFile(const struct stat& a, const Path& other) {
    struct stat b {};
    const int found = other == standardInput ? ::fstat(STDIN_FILENO, &b) : ::stat(other.c_str(), &b);
    return found == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A file that is not there yet, named by its folder as the system finds it.
std::optional<Path> canonicalNew(const Path& path) {
    char buffer[PATH_MAX];
    if (!::realpath(folderOf(path).c_str(), buffer)) return std::nullopt;
    return Path(buffer) + "/" + nameOf(path);
}

} // namespace

Target target(const Path& path, const std::vector<Path>& inputs) {
    Target t{path, std::nullopt};
    if (path.empty()) {
        t.refused = QStringLiteral("kein Dateiname");
        return t;
    }
    int error = 0;
    const auto resolved = resolve(path, &error);
    if (!resolved) {
        t.refused = reason(error);
        return t;
    }
    t.path = *resolved;
    struct stat info {};
    if (::stat(t.path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            t.refused = kindOf(info.st_mode);
            return t;
        }
        for (const Path& input : inputs)
            if (sameFile(info, input)) {
                t.refused = QStringLiteral(
                    "ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, Einstellungen)");
                return t;
            }
        if (::access(t.path.c_str(), W_OK) != 0) {
            t.refused = reason(errno);
            return t;
        }
    } else if (errno != ENOENT) {
        t.refused = reason(errno);
        return t;
    }
    const Path folder = folderOf(t.path);
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) {
        t.refused = errno == ENOENT ? QStringLiteral("der Ordner fehlt") : reason(errno);
    } else if (!S_ISDIR(dir.st_mode)) {
        t.refused = reason(ENOTDIR);
    } else {
        // Only a try tells whether a new file can be made there (a folder
        // of /proc says yes to root and then refuses).
        Path probe = temporaryBeside(t.path);
        const int fd = ::mkstemp(probe.data());
        if (fd < 0) {
            t.refused = reason(errno);
        } else {
            ::close(fd);
            ::unlink(probe.c_str());
        }
    }
    return t;
}

bool sameTarget(const Path& a, const Path& b) {
    struct stat first {};
    if (::stat(a.c_str(), &first) == 0) return sameFile(first, b);
    struct stat second {};
    if (::stat(b.c_str(), &second) == 0) return false;
    const auto one = canonicalNew(a), other = canonicalNew(b);
    return one && other ? *one == *other : a == b;
}

std::optional<QString> write(const Path& target, const QByteArray& bytes) {
    Path temporary = temporaryBeside(target);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return reason(errno);
    // New files get the usual permissions under the user's umask; a file
    // that is replaced keeps its own.
    struct stat old {};
    mode_t mode;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = 0;
    if (::fchmod(fd, mode) != 0) error = errno;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (error == 0 && left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            break;
        }
        data += n;
        left -= n;
    }
    // The data must be on the disk before the new file takes the old one's place.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    ::unlink(temporary.c_str());
    return reason(error);
}

std::optional<QString> writeChecked(const Path& path, const QByteArray& bytes,
                                    const std::vector<Path>& inputs) {
    const Target t = target(path, inputs);
    if (t.refused) return t.refused;
    return write(t.path, bytes);
}

Streamed stream(const Path& path, qint64 maxBytes,
                const std::function<bool(const char*, std::size_t)>& take) {
    Streamed r;
    const QString tooLarge = QStringLiteral("ist zu groß (mehr als %1 MiB)").arg(maxBytes / (1024 * 1024));
    // Opened without blocking and looked at before a byte is read: a FIFO
    // would otherwise hang the window, and a device never ends.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            r.missing = true;
        else
            r.problem = QStringLiteral("ist nicht lesbar: ") + reason(errno);
        return r;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        r.problem = QStringLiteral("ist nicht lesbar: ") + reason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        r.problem = QStringLiteral("ist keine Datei");
    } else if (info.st_size > maxBytes) {
        r.problem = tooLarge;
    } else {
        std::vector<char> buffer(std::size_t{1} << 20);
        qint64 total = 0;
        while (true) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                r.problem = QStringLiteral("ist nicht lesbar: ") + reason(errno);
                break;
            }
            if (n == 0) break;
            // A file that grows while it is read is refused all the same.
            total += n;
            if (total > maxBytes) {
                r.problem = tooLarge;
                break;
            }
            if (!take(buffer.data(), static_cast<std::size_t>(n))) break;
        }
    }
    ::close(fd);
    return r;
}

Read read(const Path& path, qint64 maxBytes) {
    Read r;
    const Streamed s = stream(path, maxBytes, [&r](const char* data, std::size_t n) {
        r.bytes.append(data, static_cast<qsizetype>(n));
        return true;
    });
    r.missing = s.missing;
    r.problem = s.problem;
    if (r.problem) r.bytes.clear();
    return r;
}

std::optional<QString> lockRefused(const Path& lockPath) {
    struct stat info {};
    if (::lstat(lockPath.c_str(), &info) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(reason(errno));
    if (S_ISLNK(info.st_mode)) {
        int error = 0;
        const auto resolved = resolve(lockPath, &error);
        if (!resolved) return reason(error);
        if (::stat(resolved->c_str(), &info) != 0)
            return QStringLiteral("ist ein Verweis auf „%1“, das es nicht gibt")
                .arg(QString::fromStdString(Quote::escaped(*resolved)));
    }
    if (!S_ISREG(info.st_mode)) return kindOf(info.st_mode);
    if (info.st_size > maxLockBytes) return QStringLiteral("ist zu groß für eine Sperrdatei");
    return std::nullopt;
}

// Another window may be saving: wait for it, briefly. A lock left by a
// process that died is noticed by QLockFile and taken over. The window
// keeps drawing and its timers keep running meanwhile; what the user types
// waits until the save is done.
bool lockWithin(QLockFile& lock, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || waited.elapsed() >= milliseconds) return false;
        const int pause = 5 + static_cast<int>(QRandomGenerator::global()->bounded(20));
        if (QCoreApplication::instance() &&
            QThread::currentThread() == QCoreApplication::instance()->thread()) {
            QElapsedTimer slept;
            slept.start();
            while (slept.elapsed() < pause) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, pause);
                QThread::msleep(1);
            }
        } else {
            QThread::msleep(pause);
        }
    }
    return true;
}

} // namespace vx::SafeFile
