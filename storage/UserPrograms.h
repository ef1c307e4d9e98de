// SPDX-License-Identifier: GPL-3.0-or-later
// The program library of the current model: one text file per model in the
// user's data folder, read lazily, cached by the file's modification date,
// re-read after outside edits and rewritten whole (and atomically) on every
// change. Several windows may share the file: every change happens under a
// lock beside it, on the file as it is at that moment.
#pragma once

#include "engine/Types.h"
#include "storage/ProgramText.h"
#include "storage/SavedProgram.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace vx {

// A library file as read from the disk: its programs, or the reason it
// could not be used ("ist keine Datei", "ist zu groß", "ist nicht lesbar: …").
// A missing file is an empty library, not a problem.
struct LibraryFile {
    std::vector<SavedProgram> programs;
    std::optional<QString> problem;
};

class UserPrograms : public QObject {
    Q_OBJECT
  public:
    // Libraries larger than this are not read: no hand-written library comes
    // near it, and a mistaken path to a huge file must not fill the memory.
    static constexpr qint64 maxFileBytes = 64LL * 1024 * 1024;
    // How long a change waits for another window's change to finish.
    static constexpr int lockWaitMilliseconds = 5000;
    // A shorter wait, for tests of a lock that is never let go.
    void setLockWait(int milliseconds) { lockWait_ = milliseconds; }

    // Why a change did not happen. `changedMeanwhile` means the entry the
    // user chose is no longer where the menu showed it.
    struct Failure {
        QString why;
        bool changedMeanwhile = false;
    };
    static QString changedMeanwhileText() {
        return QStringLiteral("Die Bibliothek wurde inzwischen geändert.");
    }

    explicit UserPrograms(Model model, QObject* parent = nullptr);

    Model model() const { return model_; }
    void setModel(Model model);
    QString folder() const { return folderFor(model_); }
    QString url() const { return fileFor(model_); }
    static QString folderFor(Model model);
    static QString fileFor(Model model);

    const std::vector<SavedProgram>& programs();
    // Why the file could not be read the last time `programs` looked, if so.
    const std::optional<QString>& problem() const { return problem_; }

    // Saves as a new entry (no `chosen`) or over the entry the user chose.
    // All changes return false and fill `failure` when nothing was changed.
    bool save(const std::vector<Step>& steps, const QString& name, const std::optional<SavedProgram>& chosen,
              Failure* failure = nullptr);
    // Removes exactly the chosen entry; the later ones move up.
    bool remove(const SavedProgram& chosen, Failure* failure = nullptr);
    // By number alone, for callers without a menu: replaces (or removes) the
    // first entry of that number; a number not in the library appends.
    bool saveNumber(const std::vector<Step>& steps, const QString& name, std::optional<long long> number,
                    Failure* failure = nullptr);
    bool removeNumber(long long number, Failure* failure = nullptr);

    void checkForChanges();
    int revision() const { return revision_; }
    // Reads any library file; only regular files up to `maxFileBytes` are read.
    static LibraryFile readFile(const QString& path, Model model);
    static LibraryFile readFile(const std::string& path, Model model);

  signals:
    void revisionChanged();

  private:
    // One change of the list as it is in the file now; returns false (with
    // `failure` filled) to leave the file alone.
    using Edit = std::function<bool(std::vector<SavedProgram>&, Failure&)>;
    bool change(const Edit& edit, Failure* failure);
    // `old`: the file's bytes before (none when there was no file); a
    // hand-edited one is also kept for good.
    bool writeLocked(const std::optional<QByteArray>& old, bool handEdited,
                     const std::vector<SavedProgram>& list, Failure& failure);
    std::optional<QDateTime> modificationDate() const;
    void bumpRevision();

    Model model_;
    std::optional<std::vector<SavedProgram>> cached_;
    std::optional<QDateTime> cachedDate_;
    int revision_ = 0;
    std::optional<QString> problem_;
    int lockWait_ = lockWaitMilliseconds;
};

} // namespace vx
