// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeptMachine.h"

#include "engine/Engine.h"
#include "storage/Quote.h"
#include "storage/SafeFile.h"
#include "storage/ShellSettings.h"
#include "storage/StateFile.h"
#include "storage/UserFiles.h"

#include <QDir>
#include <QFileInfo>

namespace vx::KeptMachine {

std::optional<QString> bringBack(Engine& engine, const ShellSettings& settings) {
    if (!settings.keepMachine()) return std::nullopt;
    const SafeFile::Path path = SafeFile::fromQt(stateFile());
    StateFile::Loaded loaded = StateFile::read(path);
    if (loaded.missing) return std::nullopt;
    QString why = loaded.problem.value_or(QString());
    if (loaded.state && engine.restore(std::move(*loaded.state))) return std::nullopt;
    if (why.isEmpty()) why = QStringLiteral("er beschreibt keinen möglichen Rechner");
    const auto aside = StateFile::keepAside(path);
    return QStringLiteral(
               "Der aufgehobene Rechner ließ sich nicht lesen (%1). Der Rechner beginnt frisch; %2")
        .arg(why, aside ? QStringLiteral("die Datei liegt jetzt unter „%1“.")
                              .arg(QString::fromStdString(Quote::escaped(*aside)))
                        : QStringLiteral("die Datei „%1“ ließ sich nicht beiseitelegen.")
                              .arg(QString::fromStdString(Quote::escaped(path))));
}

std::optional<QString> keep(Engine& engine) {
    engine.stopActivity();
    QDir().mkpath(QFileInfo(stateFile()).path());
    return StateFile::write(SafeFile::fromQt(stateFile()), engine.state());
}

} // namespace vx::KeptMachine
