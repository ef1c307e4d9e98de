// SPDX-License-Identifier: GPL-3.0-or-later
// A small program that writes the program library, for the tests that must
// run a writer as another user or kill it in the middle of a save.
//   library_writer save NAME      save one program as a new entry
//   library_writer many PREFIX N [churn]
//                                 save N programs "PREFIX-1" ... "PREFIX-N"; with churn
//                                 every fifth save also deletes the one saved before it
//   library_writer loop           rename program 1 "Stand 1", "Stand 2", ... forever,
//                                 each time a whole rewrite of the file
// The library lies where XDG_DATA_HOME says. Exit status 0 when saved; 1 and
// the system's words on stderr when not.
#include "storage/UserPrograms.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace vx;

static int failed(const UserPrograms::Failure& error) {
    std::fprintf(stderr, "%s\n", error.why.toLocal8Bit().constData());
    return 1;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    UserPrograms::Failure error;
    if (argc >= 3 && !std::strcmp(argv[1], "save")) {
        UserPrograms library(Model::orbis410);
        return library.save({56, 57}, QString::fromUtf8(argv[2]), std::nullopt, &error) ? 0 : failed(error);
    }
    if (argc >= 4 && !std::strcmp(argv[1], "many")) {
        UserPrograms library(Model::orbis410);
        const bool churn = argc >= 5 && !std::strcmp(argv[4], "churn");
        const int count = std::atoi(argv[3]);
        auto named = [&](int i) { return QStringLiteral("%1-%2").arg(QString::fromUtf8(argv[2])).arg(i); };
        for (int i = 1; i <= count; ++i) {
            if (!library.save({i % 10, 56}, named(i), std::nullopt, &error)) return failed(error);
            if (!churn || i % 5 != 0) continue;
            // Delete the program saved just before, as a user would from a menu
            // that another window may have made stale meanwhile.
            while (true) {
                std::optional<SavedProgram> chosen;
                for (const SavedProgram& p : library.programs())
                    if (QString::fromStdString(p.name) == named(i - 1)) chosen = p;
                if (!chosen) return 3;
                if (library.remove(*chosen, &error)) break;
                if (!error.changedMeanwhile) return failed(error);
            }
        }
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "loop")) {
        UserPrograms library(Model::orbis410);
        if (library.programs().empty()) return 1;
        const std::vector<Step> steps = library.programs()[0].steps;
        for (long long n = 1;; ++n)
            if (!library.saveNumber(steps, QStringLiteral("Stand %1").arg(n), 1, &error))
                return failed(error);
    }
    std::fprintf(stderr, "usage: library_writer save NAME | many PREFIX N [churn] | loop\n");
    return 2;
}
