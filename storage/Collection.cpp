// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/Collection.h"

#include "storage/UserPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vx {

namespace {

// The areas in menu order, with the file that holds each.
struct AreaFile {
    const char* title;
    const char* fileName;
};
constexpr AreaFile areaFiles[] = {{"Mathematik", "Mathematik.txt"},
                                  {"Statistik", "Statistik.txt"},
                                  {"Finanzen", "Finanzen.txt"},
                                  {"Technik und Vermessung", "Technik.txt"},
                                  {"Zeit und Kalender", "Kalender.txt"}};

} // namespace

QString Collection::installedFolder() {
    const QString here = QCoreApplication::applicationDirPath();
    // Installed: bin/veltranix and share/veltranix/Programmsammlung; the
    // build copies the collection next to the program it builds.
    for (const QString& candidate : {here + QStringLiteral("/../share/veltranix/Programmsammlung"),
                                     here + QStringLiteral("/Programmsammlung")})
        if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
    return {};
}

const std::vector<CollectionArea>& Collection::areas(Model model) const {
    auto& read = read_[model == Model::orbis412 ? 1 : 0];
    if (!read) {
        read.emplace();
        const QString modelFolder = folder_ + QLatin1Char('/') + QString::fromStdString(rawValue(model));
        for (const AreaFile& a : areaFiles) {
            CollectionArea area{QString::fromUtf8(a.title), {}};
            if (!folder_.isEmpty())
                area.programs = UserPrograms::readFile(
                                    modelFolder + QLatin1Char('/') + QString::fromUtf8(a.fileName), model)
                                    .programs;
            read->push_back(std::move(area));
        }
    }
    return *read;
}

std::optional<SavedProgram> Collection::holding(const std::vector<Step>& steps, Model model) const {
    if (steps.empty()) return std::nullopt;
    for (const CollectionArea& area : areas(model))
        for (const SavedProgram& p : area.programs)
            if (p.steps == steps && !p.error) return p;
    return std::nullopt;
}

} // namespace vx
