// Bits of the control word and the status word in the FC profile.
#pragma once

#include <cstdint>

namespace korvansim {

namespace control {
inline constexpr std::uint16_t kNoDcBrake = 1u << 2;     // 0: DC brake
inline constexpr std::uint16_t kEnable = 1u << 3;        // 0: coasting
inline constexpr std::uint16_t kNoQuickStop = 1u << 4;   // 0: quick stop
inline constexpr std::uint16_t kRampEnable = 1u << 5;    // 0: freeze output
inline constexpr std::uint16_t kStart = 1u << 6;         // 0: ramp stop
inline constexpr std::uint16_t kReset = 1u << 7;         // rising edge: reset a trip
inline constexpr std::uint16_t kJog = 1u << 8;
inline constexpr std::uint16_t kRamp2 = 1u << 9;         // 0: ramp 1 (207/208), 1: ramp 2 (209/210)
inline constexpr std::uint16_t kDataValid = 1u << 10;    // 0: the control word is ignored
inline constexpr std::uint16_t kReverse = 1u << 15;
// What the drive acts on at power-up: enabled, no brake, no quick stop, ramp enabled, stopped.
inline constexpr std::uint16_t kPowerUp = kNoDcBrake | kEnable | kNoQuickStop | kRampEnable | kDataValid;
}  // namespace control

namespace status {
inline constexpr std::uint16_t kControlReady = 1u << 0;
inline constexpr std::uint16_t kDriveReady = 1u << 1;
inline constexpr std::uint16_t kEnabled = 1u << 2;
inline constexpr std::uint16_t kTrip = 1u << 3;
inline constexpr std::uint16_t kWarning = 1u << 7;
inline constexpr std::uint16_t kAtReference = 1u << 8;
inline constexpr std::uint16_t kBusControl = 1u << 9;
inline constexpr std::uint16_t kInRange = 1u << 10;
inline constexpr std::uint16_t kRunning = 1u << 11;
}  // namespace status

}  // namespace korvansim
