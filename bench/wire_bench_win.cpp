// Collection calls through the Windows DLL against a paced simulated drive on a COM
// port at 9600 8E1 (the drive on the Linux side of the port when run under Wine):
// figures beside the wire-time limit. The driver waits a plain 10 ms Sleep between polls.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/collection_calls.h"
#include "bench/wire_timing.h"
#include "tools/hostkit/com_port.h"
#include "tools/hostkit/driver_library.h"

namespace {

using bench::kTelegramBytes;
constexpr uint32_t kBaud = 9600;
constexpr uint32_t kBits = 11;  // start, 8 data, even parity, stop

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wire_bench_win DRIVER COMn [CALLS]\n");
        return 2;
    }
    const int calls = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    hostkit::DriverLibrary library(argv[1]);
    if (!library.Loaded()) return std::fprintf(stderr, "wire_bench_win: %s\n", library.Error().c_str()), 1;
    const std::string portName = argv[2];
    KorvanPortHandle port = hostkit::OpenComPort(portName);
    if (port == nullptr) return std::fprintf(stderr, "wire_bench_win: cannot open %s\n", argv[2]), 1;

    const bench::CollectionRun run = bench::TimeCollectionCalls(library.Svr(), port, calls);
    hostkit::CloseComPort(port);
    const bench::CallFigures& f = run.figures;

    const double turnaroundMs = 2.0 * kBits * 1000.0 / kBaud;
    const double limit = bench::WireLimitMs(kTelegramBytes, kTelegramBytes, kBits, kBaud, turnaroundMs);
    std::printf("Windows DLL, %u 8E1 on %s: %d calls, wire-time limit %.3f ms\n", kBaud, argv[2], calls, limit);
    std::printf("  10 ms Sleep between polls: mean %.3f ms, median %.3f ms, p99 %.3f ms, median/limit %.3fx, "
                "CPU %.4f ms a call%s\n",
                f.meanMs, f.medianMs, f.p99Ms, f.medianMs / limit, f.cpuMsPerCall,
                run.failed ? (", " + std::to_string(run.failed) + " calls failed").c_str() : "");
    return run.failed ? 1 : 0;
}
