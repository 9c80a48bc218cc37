// Figures of a run of timed calls: mean, median and 99th percentile, and the time the
// calling thread spent on the processor.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

struct CallFigures {
    double meanMs = 0.0;
    double medianMs = 0.0;
    double p99Ms = 0.0;
    double cpuMsPerCall = 0.0;  // user + system time of the calling thread
};

CallFigures Summarise(std::vector<double> callMs, double threadCpuMs);
// User + system time the calling thread has used so far, in milliseconds.
double ThreadCpuMs();

// The time a request and its reply take on the line: (bytes × bits per character) ÷
// baud, plus the drive's turnaround.
double WireLimitMs(uint32_t requestBytes, uint32_t replyBytes, uint32_t bitsPerCharacter, uint32_t baud,
                   double turnaroundMs);

}  // namespace bench
