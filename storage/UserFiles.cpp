// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/UserFiles.h"

#include "storage/UserPrograms.h"

#include <QSettings>
#include <QStandardPaths>

namespace vx {

QString settingsFile() {
    return QSettings().fileName();
}

QString stateFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Veltranix/Veltranix.state");
}

std::vector<SafeFile::Path> userFiles() {
    std::vector<SafeFile::Path> files{SafeFile::fromQt(settingsFile()), SafeFile::fromQt(stateFile())};
    for (Model model : allModels) {
        files.push_back(SafeFile::fromQt(UserPrograms::fileFor(model)));
        files.push_back(SafeFile::fromQt(UserPrograms::fileFor(model) + QStringLiteral(".bak")));
    }
    return files;
}

} // namespace vx
