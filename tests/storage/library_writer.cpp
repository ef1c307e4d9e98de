// A small program that writes the program library, for the tests that must
// run a writer as another user or kill it in the middle of a save.
//   library_writer save NAME      save one program as a new entry
//   library_writer loop           rename program 1 "Stand 1", "Stand 2", ... forever,
//                                 each time a whole rewrite of the file
// The library lies where XDG_DATA_HOME says. Exit status 0 when saved; 1 and
// the system's words on stderr when not.
#include "storage/UserPrograms.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

using namespace vx;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc >= 3 && !std::strcmp(argv[1], "save")) {
        UserPrograms library(Model::orbis410);
        UserPrograms::Failure error;
        if (library.save({56, 57}, QString::fromUtf8(argv[2]), std::nullopt, &error)) return 0;
        std::fprintf(stderr, "%s\n", error.why.toLocal8Bit().constData());
        return 1;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "loop")) {
        UserPrograms library(Model::orbis410);
        if (library.programs().empty()) return 1;
        const std::vector<Step> steps = library.programs()[0].steps;
        for (long long n = 1;; ++n) {
            UserPrograms::Failure error;
            if (!library.saveNumber(steps, QStringLiteral("Stand %1").arg(n), 1, &error)) {
                std::fprintf(stderr, "%s\n", error.why.toLocal8Bit().constData());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "usage: library_writer save NAME | loop\n");
    return 2;
}
