#include "tools/korvan-sim/motor.h"

#include <cstdlib>

namespace korvansim {
namespace {

// How far a ramp of `rampUs` per full scale moves in `elapsedUs`. Callers keep the full scale
// at or below 1e9 µHz and ramp times at or below 3.6e9 µs, so every product fits in 64 bits;
// whole ramp times beyond 3 cover any gap (at most twice the full scale).
std::int64_t Step(std::int64_t fullScaleUhz, std::int64_t elapsedUs, std::int64_t rampUs) {
    const std::int64_t whole = elapsedUs / rampUs;
    if (whole >= 3) {
        return 3 * fullScaleUhz;
    }
    return whole * fullScaleUhz + fullScaleUhz * (elapsedUs % rampUs) / rampUs;
}

}  // namespace

std::int64_t Motor::Target(const MotorCommand& command) const {
    if (command.coast || command.quickStop || !command.run) {
        return 0;
    }
    return command.freeze ? frequencyUhz_ : command.targetUhz;
}

std::int64_t Motor::RampTime(const MotorCommand& command, std::int64_t target) const {
    if (command.quickStop) {
        return command.quickStopUs;
    }
    const bool sameDirection = (target >= 0) == (frequencyUhz_ >= 0) || frequencyUhz_ == 0;
    const bool speedingUp = sameDirection && std::llabs(target) > std::llabs(frequencyUhz_);
    return speedingUp ? command.rampUpUs : command.rampDownUs;
}

void Motor::Advance(const MotorCommand& command, std::int64_t elapsedUs) {
    const std::int64_t target = Target(command);
    if (command.coast) {
        frequencyUhz_ = 0;
        return;
    }
    const std::int64_t rampUs = RampTime(command, target);
    const std::int64_t gap = target - frequencyUhz_;
    if (rampUs <= 0 || std::llabs(gap) <= Step(command.fullScaleUhz, elapsedUs, rampUs)) {
        frequencyUhz_ = target;
        return;
    }
    const std::int64_t step = Step(command.fullScaleUhz, elapsedUs, rampUs);
    frequencyUhz_ += gap > 0 ? step : -step;
}

}  // namespace korvansim
