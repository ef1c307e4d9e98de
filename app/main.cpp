#include "app/Batch.h"

#include <cstdio>

int main(int argc, char** argv) {
    // Any option but the window's own goes to the batch mode, which also
    // answers unknown options with a clear message.
    if (argc > 1) return vx::runBatch(argc, argv);
    std::fprintf(stderr, "Das Fenster des Rechners ist noch nicht gebaut; bis dahin rechnet "
                         "veltranix im Stapelbetrieb (veltranix --help).\n");
    return 1;
}
