// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a large library, and asking an unchanged library again.
#include "storage/AppIdentity.h"
#include "storage/ProgramText.h"
#include "storage/UserPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vx;

namespace {

QString bigLibrary(Model model) {
    std::vector<SavedProgram> programs;
    for (int p = 1; p <= 1000; ++p) {
        SavedProgram prog{p, "Programm Nummer " + std::to_string(p), {}, std::nullopt};
        for (int s = 0; s < 416; ++s) prog.steps.push_back((s * 37 + p) % 3 == 0 ? 192 : (s * 11 + p) % 125);
        programs.push_back(prog);
    }
    return ProgramText::format(programs, model);
}

void parseThousandPrograms(benchmark::State& state) {
    const QString text = bigLibrary(Model::orbis412);
    for (auto _ : state) benchmark::DoNotOptimize(ProgramText::parse(text, Model::orbis412));
    state.counters["bytes"] = static_cast<double>(text.toUtf8().size());
}
BENCHMARK(parseThousandPrograms)->Unit(benchmark::kMillisecond);

void readThousandProgramsFromFile(benchmark::State& state) {
    UserPrograms library(Model::orbis410);
    QDir().mkpath(library.folder());
    QFile f(library.url());
    f.open(QIODevice::WriteOnly);
    f.write(bigLibrary(Model::orbis410).toUtf8());
    f.close();
    for (auto _ : state) {
        library.setModel(Model::orbis412); // drop the cache
        library.setModel(Model::orbis410);
        benchmark::DoNotOptimize(library.programs().size());
    }
}
BENCHMARK(readThousandProgramsFromFile)->Unit(benchmark::kMillisecond);

void unchangedLibraryAgain(benchmark::State& state) {
    UserPrograms library(Model::orbis410);
    library.save({56, 57}, "A", std::nullopt);
    for (auto _ : state) benchmark::DoNotOptimize(library.programs().size());
}
BENCHMARK(unchangedLibraryAgain);

// A pasted text of one line of 800,000 words (4.8 MB): read once, refused
// with its first unknown step; the refusal quotes only a short piece.
void pastedLineOfManyWords(benchmark::State& state) {
    QString line;
    line.reserve(800000 * 6);
    for (int i = 0; i < 800000; ++i) line += QStringLiteral("SIN X ");
    const QString text = QStringLiteral("PROGRAM 1\n") + line + QStringLiteral("\nEND\n");
    std::size_t quoted = 0;
    for (auto _ : state) {
        const auto programs = ProgramText::parse(text, Model::orbis410);
        quoted = programs.at(0).error->size();
    }
    state.counters["message bytes"] = static_cast<double>(quoted);
}
BENCHMARK(pastedLineOfManyWords)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    setAppIdentity();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
