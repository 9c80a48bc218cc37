// wire_bench DRIVER COMPARISON-DRIVER [CALLS]: times SvrCollectDevData against the
// simulated drive on a pty, paced like a real line at 9600 8E1 and 115200 8N1, with the
// driver's wait between polls (woken by input) and with a plain 10 ms sleep beside it,
// with the CPU time and the wake-ups of the calling thread a call. At 9600 8E1 once more
// with the drive answering 20 ms after the request, the slowest its manuals allow, to
// show what a real drive's delay costs beside the limit of the same exchange.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
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
    double goal;           // median within this multiple of the wire limit
    bool cpuAtMostSleep;   // CPU a call at or below the plain sleep's, …
    double cpuShare;       // … else under this share of the call
    double turnaroundMs = -1.0;  // the drive's pause before its reply; -1: two characters
};

using bench::kTelegramBytes;

// Times `calls` collection calls of one numeric channel.
bench::CallFigures TimeCalls(const hostkit::EntryPoints& svr, int fd, int calls) {
    const bench::CollectionRun run = bench::TimeCollectionCalls(svr, fd, calls);
    if (run.failed > 0) std::printf("  (%d calls failed)\n", run.failed);
    return run.figures;
}

// One row of figures; nullopt when the driver did not load.
std::optional<bench::CallFigures> MeasureOne(const Line& line, const char* label, const std::string& path, int calls) {
    korvansim::Options options;
    options.baud = line.baud;
    options.framing = *korvansim::ParseFraming(line.framing);
    if (line.turnaroundMs >= 0.0) options.turnaroundUs = static_cast<std::int64_t>(line.turnaroundMs * 1000.0);
    korvansim::Simulator drive(options);
    // The host opens the line at the drive's speed and framing, as on a real port.
    const int fd = hostkit::OpenRawLine(drive.StartOnPty(), line.baud, line.framing);
    hostkit::DriverLibrary library(path);
    if (!library.Loaded()) {
        std::printf("  %s: %s\n", label, library.Error().c_str());
        close(fd);
        return std::nullopt;
    }
    const bench::CallFigures f = TimeCalls(library.Svr(), fd, calls);
    close(fd);
    return f;
}

void PrintRow(const char* label, const bench::CallFigures& f, double limit) {
    char wakeUps[16] = "n/a";
    if (f.wakeUpsPerCall >= 0.0) std::snprintf(wakeUps, sizeof wakeUps, "%.2f", f.wakeUpsPerCall);
    std::printf("  %-22s %9.3f %9.3f %9.3f %7.3fx %12.4f %7.3f%% %9s\n", label, f.meanMs, f.medianMs, f.p99Ms,
                f.medianMs / limit, f.cpuMsPerCall, 100.0 * f.cpuMsPerCall / f.meanMs, wakeUps);
}

void Measure(const Line& line, const std::string& wake, const std::string& sleep, int calls) {
    const uint32_t bits = korvansim::BitsPerCharacter(*korvansim::ParseFraming(line.framing));
    const double turnaroundMs = line.turnaroundMs >= 0.0 ? line.turnaroundMs : 2.0 * bits * 1000.0 / line.baud;
    const double limit = bench::WireLimitMs(kTelegramBytes, kTelegramBytes, bits, line.baud, turnaroundMs);
    std::printf("\n%u %s: %d calls, 16-byte request and reply, wire-time limit %.3f ms "
                "(%u bits a character, turnaround %.3f ms)\n",
                line.baud, line.framing, calls, limit, bits, turnaroundMs);
    std::printf("  %-22s %9s %9s %9s %8s %12s %8s %9s\n", "wait between polls", "mean ms", "median", "p99", "median/",
                "CPU ms/call", "CPU %", "wake-ups");
    const auto woken = MeasureOne(line, "wake on input", wake, calls);
    if (woken) PrintRow("wake on input", *woken, limit);
    const auto slept = MeasureOne(line, "plain 10 ms sleep", sleep, calls);
    if (slept) PrintRow("plain 10 ms sleep", *slept, limit);
    if (!woken) return;
    std::printf("  goal: median within %.2fx the limit: %s", line.goal, woken->medianMs <= line.goal * limit ? "met" : "MISSED");
    if (line.cpuAtMostSleep && slept) {
        std::printf("; CPU a call at or below the plain sleep's: %s\n",
                    woken->cpuMsPerCall <= slept->cpuMsPerCall ? "met" : "MISSED");
    } else {
        std::printf("; CPU under %.0f%% of the call: %s\n", line.cpuShare * 100.0,
                    woken->cpuMsPerCall < line.cpuShare * woken->meanMs ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wire_bench DRIVER COMPARISON-DRIVER [CALLS]\n");
        return 2;
    }
    const int calls = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    for (const Line& line : {Line{9600, "8E1", 1.01, true, 0.0}, Line{115200, "8N1", 1.3, false, 0.01},
                             Line{9600, "8E1", 1.01, true, 0.0, 20.0}}) {
        Measure(line, argv[1], argv[2], calls);
    }
    return 0;
}
