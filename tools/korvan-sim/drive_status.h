// The status word and main actual value a drive reports.
#pragma once

#include <cstdint>

namespace korvansim {

struct DriveCondition {
    bool tripped = false;
    bool enabled = false;      // not coasting
    bool startSignal = false;  // started, enabled, no quick stop, no DC brake, no trip
    bool busControl = false;   // remote operation (par 002 = 0)
    bool warning = false;      // warning word not 0
    std::int64_t frequencyUhz = 0;
    std::int64_t targetUhz = 0;
    std::int64_t lowWarningUhz = 0;   // par 225
    std::int64_t highWarningUhz = 0;  // par 226
};

std::uint16_t ComposeStatusWord(const DriveCondition& condition);

// Output frequency as a share of `fullScaleUhz` (par 202), 0x4000 = 100 %, two's complement
// for reverse, limited to the 16-bit range.
std::uint16_t MainActualValue(std::int64_t frequencyUhz, std::int64_t fullScaleUhz);

}  // namespace korvansim
