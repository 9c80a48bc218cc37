// Time as the drive model sees it: real monotonic time, or a deterministic time that moves
// by a fixed step for every telegram received, so a scripted session replies identically on
// every run and every processor.
#pragma once

#include <time.h>

#include <cstdint>
#include <memory>

namespace korvansim {

// CLOCK_MONOTONIC in nanoseconds.
std::int64_t MonotonicNs();
timespec ToTimespec(std::int64_t ns);

class ModelClock {
public:
    virtual ~ModelClock() = default;
    // Microseconds since the clock was made.
    virtual std::int64_t NowUs() const = 0;
    virtual void OnTelegram() = 0;
};

std::unique_ptr<ModelClock> MakeRealClock();
std::unique_ptr<ModelClock> MakeSteppedClock(std::int64_t stepUs);

}  // namespace korvansim
