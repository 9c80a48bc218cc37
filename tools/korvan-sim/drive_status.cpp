#include "tools/korvan-sim/drive_status.h"

#include <algorithm>

#include "tools/korvan-sim/control_bits.h"

namespace korvansim {
namespace {

std::uint16_t If(bool condition, std::uint16_t bit) {
    return condition ? bit : 0;
}

}  // namespace

std::uint16_t ComposeStatusWord(const DriveCondition& c) {
    const std::int64_t magnitude = c.frequencyUhz < 0 ? -c.frequencyUhz : c.frequencyUhz;
    const bool inRange = magnitude >= c.lowWarningUhz && magnitude <= c.highWarningUhz;
    const bool atReference = c.startSignal && c.frequencyUhz == c.targetUhz;
    return static_cast<std::uint16_t>(status::kControlReady | If(!c.tripped, status::kDriveReady) |
                                      If(c.enabled, status::kEnabled) | If(c.tripped, status::kTrip) |
                                      If(c.warning, status::kWarning) | If(atReference, status::kAtReference) |
                                      If(c.busControl, status::kBusControl) | If(inRange, status::kInRange) |
                                      If(c.startSignal || c.frequencyUhz != 0, status::kRunning));
}

std::uint16_t MainActualValue(std::int64_t frequencyUhz, std::int64_t fullScaleUhz) {
    if (fullScaleUhz <= 0) {
        return 0;
    }
    const std::int64_t share = std::clamp<std::int64_t>(frequencyUhz * 16384 / fullScaleUhz, -32768, 32767);
    return static_cast<std::uint16_t>(share & 0xFFFF);
}

}  // namespace korvansim
