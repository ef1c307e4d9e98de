// The program library of the current model: one text file per model in the
// user's data folder, read lazily, cached by the file's modification date,
// re-read after outside edits and rewritten whole (and atomically) on every
// change.
#pragma once

#include "engine/Types.h"
#include "storage/ProgramText.h"
#include "storage/SavedProgram.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace vx {

class Engine;

class UserPrograms : public QObject {
    Q_OBJECT
  public:
    explicit UserPrograms(Model model, QObject* parent = nullptr);
    // The one library of the application, created on first use with the
    // remembered model.
    static UserPrograms& shared();

    Model model() const { return model_; }
    void setModel(Model model);
    QString folder() const { return folderFor(model_); }
    QString url() const { return fileFor(model_); }
    static QString folderFor(Model model);
    static QString fileFor(Model model);

    const std::vector<SavedProgram>& programs();
    // Both return false and set `error` to the system's words when the file
    // could not be written; file, cache and revision are then unchanged.
    bool save(const std::vector<Step>& steps, const QString& name, std::optional<long long> number,
              QString* error = nullptr);
    bool remove(long long number, QString* error = nullptr);
    void checkForChanges();
    int revision() const { return revision_; }
    // The library follows the machine's model from now on. The machine must
    // not outlive the library.
    void follow(Engine& engine);

    static QString format(const std::vector<SavedProgram>& programs, Model model) {
        return ProgramText::format(programs, model);
    }
    static std::vector<SavedProgram> parse(const QString& text, Model model) {
        return ProgramText::parse(text, model);
    }
    // Reads any library file (missing or unreadable: empty).
    static std::vector<SavedProgram> readFile(const QString& path, Model model);

  signals:
    void revisionChanged();

  private:
    std::optional<QDateTime> modificationDate() const;
    bool write(const std::vector<SavedProgram>& programs, QString* error);
    void bumpRevision();

    Model model_;
    std::optional<std::vector<SavedProgram>> cached_;
    std::optional<QDateTime> cachedDate_;
    int revision_ = 0;
    // Set when the file exists but could not be read: it must not be
    // overwritten with what little we know of it.
    std::optional<QString> readError_;
};

} // namespace vx
