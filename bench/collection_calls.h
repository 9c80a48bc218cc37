// The timed run both wire benchmarks make: collection calls of one numeric channel
// (a 16-byte request, a 16-byte reply) through a loaded driver on an opened line.
#pragma once

#include "bench/wire_timing.h"
#include "tools/hostkit/driver_library.h"

namespace bench {

constexpr uint32_t kTelegramBytes = 16;

struct CollectionRun {
    CallFigures figures;
    int failed = 0;  // calls that did not return 0
};

// Ten calls to warm up, then `calls` timed ones.
CollectionRun TimeCollectionCalls(const hostkit::EntryPoints& svr, KorvanPortHandle line, int calls);

}  // namespace bench
