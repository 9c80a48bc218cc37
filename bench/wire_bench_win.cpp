// Collection calls through the Windows DLL against a paced simulated drive on a COM
// port at 9600 8E1 (the drive on the Linux side of the port when run under Wine):
// figures beside the wire-time limit. The driver waits a plain 10 ms Sleep between polls.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/wire_timing.h"
#include "tools/hostkit/com_port.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace {

constexpr uint32_t kTelegramBytes = 16;
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

    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率"));
    hostkit::HostDevice device;
    device.SetArchiveBytes(hostkit::EncodeBlob(content));
    device.SetPort(2, port);
    const auto& svr = library.Svr();
    svr.InitDevSet(device.Instance());
    svr.InitDevRun(device.Instance());
    hostkit::IntArray wanted;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::Set(wanted.raw, {0, 0, 0, 0, 0, 1});
    hostkit::Set(values.raw, std::vector<double>(6, 0.0));
    for (int warm = 0; warm < 10; ++warm) svr.CollectDevData(device.Instance(), &wanted, &values, &texts);

    std::vector<double> callMs;
    int failed = 0;
    const double cpuBefore = bench::ThreadCpuMs();
    for (int call = 0; call < calls; ++call) {
        const auto start = std::chrono::steady_clock::now();
        failed += svr.CollectDevData(device.Instance(), &wanted, &values, &texts) != 0;
        callMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const bench::CallFigures f = bench::Summarise(callMs, bench::ThreadCpuMs() - cpuBefore);
    svr.ExitDevRun(device.Instance());
    hostkit::CloseComPort(port);

    const double turnaroundMs = 2.0 * kBits * 1000.0 / kBaud;
    const double limit = bench::WireLimitMs(kTelegramBytes, kTelegramBytes, kBits, kBaud, turnaroundMs);
    std::printf("Windows DLL, %u 8E1 on %s: %d calls, wire-time limit %.3f ms\n", kBaud, argv[2], calls, limit);
    std::printf("  10 ms Sleep between polls: mean %.3f ms, median %.3f ms, p99 %.3f ms, median/limit %.3fx, "
                "CPU %.4f ms a call%s\n",
                f.meanMs, f.medianMs, f.p99Ms, f.medianMs / limit, f.cpuMsPerCall,
                failed ? (", " + std::to_string(failed) + " calls failed").c_str() : "");
    return failed ? 1 : 0;
}
