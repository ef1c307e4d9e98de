#include "app/Batch.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--play") || !std::strcmp(argv[i], "--list") || !std::strcmp(argv[i], "--help"))
            return vx::runBatch(argc, argv);
    std::fprintf(stderr, "Das Fenster des Rechners ist noch nicht gebaut; bis dahin rechnet "
                         "veltranix im Stapelbetrieb (veltranix --help).\n");
    return 1;
}
