#include "storage/UserPrograms.h"

#include "engine/Engine.h"
#include "storage/QtSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace vx {

UserPrograms::UserPrograms(Model model, QObject* parent) : QObject(parent), model_(model) {}

UserPrograms& UserPrograms::shared() {
    static UserPrograms* library = [] {
        QtSettings settings;
        return new UserPrograms(savedModel(settings));
    }();
    return *library;
}

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

void UserPrograms::follow(Engine& engine) {
    setModel(engine.model());
    engine.addModelListener([this](Model model) { setModel(model); });
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

struct ReadResult {
    QString text;
    std::optional<QString> error; // the file exists but could not be read
};

ReadResult readText(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) return {QString(), file.errorString()};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {QString(), file.errorString()};
    return {ProgramText::decode(bytes), std::nullopt};
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

} // namespace

std::vector<SavedProgram> UserPrograms::readFile(const QString& path, Model model) {
    return ProgramText::parse(readText(path).text, model);
}

const std::vector<SavedProgram>& UserPrograms::programs() {
    const auto date = modificationDate();
    if (cached_ && cachedDate_ == date) return *cached_;
    ReadResult read = readText(url());
    readError_ = read.error;
    cached_ = ProgramText::parse(read.text, model_);
    cachedDate_ = date;
    return *cached_;
}

void UserPrograms::checkForChanges() {
    if (!cached_) return;
    if (cachedDate_ == modificationDate()) return;
    cached_.reset();
    bumpRevision();
}

bool UserPrograms::save(const std::vector<Step>& steps, const QString& name, std::optional<long long> number,
                        QString* error) {
    std::vector<SavedProgram> list = programs();
    SavedProgram program{0, name.toStdString(), steps, std::nullopt};
    auto same = number ? std::find_if(list.begin(), list.end(),
                                      [&](const SavedProgram& p) { return p.number == *number; })
                       : list.end();
    if (same != list.end()) {
        program.number = *number;
        *same = program;
    } else {
        program.number = static_cast<long long>(list.size()) + 1;
        list.push_back(program);
    }
    return write(list, error);
}

bool UserPrograms::remove(long long number, QString* error) {
    std::vector<SavedProgram> list;
    for (const SavedProgram& p : programs())
        if (p.number != number) list.push_back(p);
    for (std::size_t i = 0; i < list.size(); ++i) list[i].number = static_cast<long long>(i) + 1;
    return write(list, error);
}

bool UserPrograms::write(const std::vector<SavedProgram>& list, QString* error) {
    auto failed = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (readError_) return failed(*readError_);

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder().toStdString()), ec);
    if (ec) return failed(QString::fromStdString(ec.message()));

    const QString path = url();
    if (QFile::exists(path)) {
        // A rewrite replaces the hand-written file with the writer's form;
        // the previous file stays beside it, so no hand edit is lost for good.
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) return failed(old.errorString());
        QString why;
        if (!writeAtomically(path + QStringLiteral(".bak"), old.readAll(), &why)) return failed(why);
    }
    QString why;
    if (!writeAtomically(path, ProgramText::format(list, model_).toUtf8(), &why)) return failed(why);

    cached_ = list;
    cachedDate_ = modificationDate();
    bumpRevision();
    return true;
}

} // namespace vx
