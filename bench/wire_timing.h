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
    double wakeUpsPerCall = -1.0;  // times the calling thread blocked and woke; negative: not known
};

CallFigures Summarise(std::vector<double> callMs, double threadCpuMs, double threadWakeUps);
// User + system time the calling thread has used so far, in milliseconds.
double ThreadCpuMs();
// How often the calling thread has given up the processor to wait so far (each wait
// ends in a wake-up); negative where the system does not count it.
double ThreadWakeUps();

// The time a request and its reply take on the line: (bytes × bits per character) ÷
// baud, plus the drive's turnaround.
double WireLimitMs(uint32_t requestBytes, uint32_t replyBytes, uint32_t bitsPerCharacter, uint32_t baud,
                   double turnaroundMs);

}  // namespace bench
