// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/UserFiles.h"

#include "storage/AppIdentity.h"
#include "storage/UserPrograms.h"

#include <QStandardPaths>

namespace vx {

QString settingsFile() {
    // Where the host's QSettings keeps them on Linux. Only the name is needed
    // here, so that nothing the calculator exports lands on it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QLatin1String(organizationName) + QLatin1Char('/') + QLatin1String(applicationName) +
           QStringLiteral(".conf");
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
