#include "bench/wire_timing.h"

#include <algorithm>
#include <numeric>

namespace bench {

CallFigures Summarise(std::vector<double> callMs, double threadCpuMs, double threadWakeUps) {
    CallFigures figures;
    if (callMs.empty()) return figures;
    std::sort(callMs.begin(), callMs.end());
    const std::size_t n = callMs.size();
    figures.meanMs = std::accumulate(callMs.begin(), callMs.end(), 0.0) / static_cast<double>(n);
    figures.medianMs = n % 2 ? callMs[n / 2] : (callMs[n / 2 - 1] + callMs[n / 2]) / 2.0;
    figures.p99Ms = callMs[std::min(n - 1, (n * 99 + 99) / 100 - 1)];
    figures.cpuMsPerCall = threadCpuMs / static_cast<double>(n);
    if (threadWakeUps >= 0.0) figures.wakeUpsPerCall = threadWakeUps / static_cast<double>(n);
    return figures;
}

double WireLimitMs(uint32_t requestBytes, uint32_t replyBytes, uint32_t bitsPerCharacter, uint32_t baud,
                   double turnaroundMs) {
    return static_cast<double>((requestBytes + replyBytes) * bitsPerCharacter) * 1000.0 / baud + turnaroundMs;
}

}  // namespace bench
