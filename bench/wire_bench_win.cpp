// wire_bench_win DRIVER COMPARISON-DRIVER COMn [CALLS]: collection calls through the
// Windows DLL against a paced simulated drive on a COM port at 9600 8E1 (the drive on
// the Linux side of the port when run under Wine), the driver waking when the reply is
// there (a ReadFile of the missing bytes) beside a plain 10 ms Sleep between polls,
// with the wire-time limit.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "bench/collection_calls.h"
#include "bench/wire_timing.h"
#include "tools/hostkit/com_port.h"
#include "tools/hostkit/driver_library.h"

namespace {

using bench::kTelegramBytes;
constexpr uint32_t kBaud = 9600;
constexpr uint32_t kBits = 11;  // start, 8 data, even parity, stop
constexpr double kGoal = 1.01;  // median within this multiple of the wire limit

std::optional<bench::CallFigures> Measure(const char* driver, const std::string& port, int calls) {
    hostkit::DriverLibrary library(driver);
    if (!library.Loaded()) return std::fprintf(stderr, "wire_bench_win: %s\n", library.Error().c_str()), std::nullopt;
    KorvanPortHandle line = hostkit::OpenComPort(port);
    if (line == nullptr) return std::fprintf(stderr, "wire_bench_win: cannot open %s\n", port.c_str()), std::nullopt;
    const bench::CollectionRun run = bench::TimeCollectionCalls(library.Svr(), line, calls);
    hostkit::CloseComPort(line);
    if (run.failed > 0) std::printf("  (%d calls failed)\n", run.failed);
    return run.figures;
}

void PrintRow(const char* label, const bench::CallFigures& f, double limit) {
    std::printf("  %-22s %9.3f %9.3f %9.3f %7.3fx %12.4f %7.3f%%\n", label, f.meanMs, f.medianMs, f.p99Ms,
                f.medianMs / limit, f.cpuMsPerCall, 100.0 * f.cpuMsPerCall / f.meanMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: wire_bench_win DRIVER COMPARISON-DRIVER COMn [CALLS]\n");
        return 2;
    }
    const int calls = argc > 4 ? std::max(1, std::atoi(argv[4])) : 300;
    const double turnaroundMs = 2.0 * kBits * 1000.0 / kBaud;
    const double limit = bench::WireLimitMs(kTelegramBytes, kTelegramBytes, kBits, kBaud, turnaroundMs);
    std::printf("Windows DLL, %u 8E1 on %s: %d calls, 16-byte request and reply, wire-time limit %.3f ms\n", kBaud,
                argv[3], calls, limit);
    std::printf("  %-22s %9s %9s %9s %8s %12s %8s\n", "wait between polls", "mean ms", "median", "p99", "median/",
                "CPU ms/call", "CPU %");
    const auto woken = Measure(argv[1], argv[3], calls);
    if (woken) PrintRow("wake on input", *woken, limit);
    const auto slept = Measure(argv[2], argv[3], calls);
    if (slept) PrintRow("plain 10 ms Sleep", *slept, limit);
    if (!woken) return 1;
    std::printf("  goal: median within %.2fx the limit: %s\n", kGoal, woken->medianMs <= kGoal * limit ? "met" : "MISSED");
    return 0;
}
