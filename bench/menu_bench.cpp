// SPDX-License-Identifier: GPL-3.0-or-later
// The "Programme" menu of a library of 20,000 programs: built from the file
// the first time, and again from the cache when the menu opens later.
#include "app/ProgramActions.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vx;

namespace {

struct Library {
    Library() {
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        std::vector<SavedProgram> programs;
        for (long long i = 1; i <= 20000; ++i)
            programs.push_back({i, "Programm Nummer " + std::to_string(i), {56, 57, 58, 27}, std::nullopt});
        QDir().mkpath(UserPrograms::folderFor(Model::orbis410));
        QFile file(UserPrograms::fileFor(Model::orbis410));
        file.open(QIODevice::WriteOnly);
        file.write(ProgramText::format(programs, Model::orbis410).toUtf8());
    }
    QTemporaryDir home;
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{5};
    Engine engine{clock, settings, random};
};

void menuFromTheFile(benchmark::State& state) {
    Library fixture;
    for (auto _ : state) {
        UserPrograms library(Model::orbis410);
        QMenu menu;
        ProgramActions::fillMenu(menu, fixture.engine, library, nullptr);
        benchmark::DoNotOptimize(menu.actions().size());
    }
}
BENCHMARK(menuFromTheFile)->Unit(benchmark::kMillisecond);

void menuFromTheCache(benchmark::State& state) {
    Library fixture;
    UserPrograms library(Model::orbis410);
    library.programs();
    for (auto _ : state) {
        library.checkForChanges();
        QMenu menu;
        ProgramActions::fillMenu(menu, fixture.engine, library, nullptr);
        benchmark::DoNotOptimize(menu.actions().size());
    }
}
BENCHMARK(menuFromTheCache)->Unit(benchmark::kMillisecond);

} // namespace
