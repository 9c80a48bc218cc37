// The motor's output frequency, ramped toward what the drive asks for.
#pragma once

#include <cstdint>

namespace korvansim {

// Frequencies in µHz (signed: negative is reverse), times in µs.
struct MotorCommand {
    bool coast = false;      // coasting, DC brake or trip: the output drops to 0 at once
    bool quickStop = false;  // ramp to 0 with quickStopUs
    bool run = false;        // started: ramp to targetUhz; otherwise ramp to 0
    bool freeze = false;     // started but frozen: hold the output
    std::int64_t targetUhz = 0;
    std::int64_t fullScaleUhz = 0;  // ramp times are for 0 → fullScaleUhz
    std::int64_t rampUpUs = 0;
    std::int64_t rampDownUs = 0;
    std::int64_t quickStopUs = 0;
};

class Motor {
public:
    void Advance(const MotorCommand& command, std::int64_t elapsedUs);
    std::int64_t FrequencyUhz() const { return frequencyUhz_; }
    // Where the output is heading under `command`.
    std::int64_t Target(const MotorCommand& command) const;

private:
    std::int64_t RampTime(const MotorCommand& command, std::int64_t target) const;

    std::int64_t frequencyUhz_ = 0;
};

}  // namespace korvansim
