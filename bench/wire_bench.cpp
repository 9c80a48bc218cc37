// wire_bench DRIVER COMPARISON-DRIVER [CALLS]: times SvrCollectDevData against the
// simulated drive on a pty, paced like a real line at 9600 8E1 and 115200 8N1, with the
// driver's wait between polls (woken by input) and with a plain 10 ms sleep beside it.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/collection_calls.h"
#include "bench/wire_timing.h"
#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/raw_line.h"
#include "tools/korvan-sim/simulator.h"

namespace {

struct Line {
    uint32_t baud;
    const char* framing;
    double goal;  // median within this multiple of the wire limit
};

using bench::kTelegramBytes;

// Times `calls` collection calls of one numeric channel.
bench::CallFigures TimeCalls(const hostkit::EntryPoints& svr, int fd, int calls) {
    const bench::CollectionRun run = bench::TimeCollectionCalls(svr, fd, calls);
    if (run.failed > 0) std::printf("  (%d calls failed)\n", run.failed);
    return run.figures;
}

void Measure(const Line& line, const std::string& wake, const std::string& sleep, int calls) {
    const auto framing = *korvansim::ParseFraming(line.framing);
    const uint32_t bits = korvansim::BitsPerCharacter(framing);
    const double turnaroundMs = 2.0 * bits * 1000.0 / line.baud;  // the simulated drive's default
    const double limit = bench::WireLimitMs(kTelegramBytes, kTelegramBytes, bits, line.baud, turnaroundMs);
    std::printf("\n%u %s: %d calls, 16-byte request and reply, wire-time limit %.3f ms "
                "(%u bits a character, turnaround %.3f ms)\n",
                line.baud, line.framing, calls, limit, bits, turnaroundMs);
    std::printf("  %-22s %9s %9s %9s %8s %12s %8s\n", "wait between polls", "mean ms", "median", "p99", "median/",
                "CPU ms/call", "CPU %");
    for (const auto& [label, path] : {std::pair<const char*, std::string>{"wake on input", wake},
                                      std::pair<const char*, std::string>{"plain 10 ms sleep", sleep}}) {
        korvansim::Options options;
        options.baud = line.baud;
        options.framing = framing;
        korvansim::Simulator drive(options);
        const int fd = hostkit::OpenRawLine(drive.StartOnPty());
        hostkit::DriverLibrary library(path);
        if (!library.Loaded()) {
            std::printf("  %s: %s\n", label, library.Error().c_str());
            continue;
        }
        const bench::CallFigures f = TimeCalls(library.Svr(), fd, calls);
        std::printf("  %-22s %9.3f %9.3f %9.3f %7.3fx %12.4f %7.3f%%\n", label, f.meanMs, f.medianMs, f.p99Ms,
                    f.medianMs / limit, f.cpuMsPerCall, 100.0 * f.cpuMsPerCall / f.meanMs);
        if (path == wake) {
            std::printf("  goal: median within %.2fx the limit: %s; CPU under 1%% of the call: %s\n", line.goal,
                        f.medianMs <= line.goal * limit ? "met" : "MISSED",
                        f.cpuMsPerCall < 0.01 * f.meanMs ? "met" : "MISSED");
        }
        close(fd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wire_bench DRIVER COMPARISON-DRIVER [CALLS]\n");
        return 2;
    }
    const int calls = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    for (const Line& line : {Line{9600, "8E1", 1.05}, Line{115200, "8N1", 1.3}}) Measure(line, argv[1], argv[2], calls);
    return 0;
}
