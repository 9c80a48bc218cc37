// The device the soak runs: its parameter channels (after the four fixed ones), how
// each is scaled, which of them the soak changes on the drive between calls, and
// which values a write may send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvansoak {

enum class Access : int32_t { ReadOnly = 0, WriteOnly = 1, ReadWrite = 2 };
inline constexpr int32_t kTextType = 5;
inline constexpr int32_t kFixedChannels = 4;
inline constexpr int32_t kTextBytes = 18;  // texts written to the drive: a full 30-byte reply

struct PlanChannel {
    uint16_t pnu;
    int32_t type;         // parameter data type 0..5
    int32_t row;          // row of the driver's conversion table
    double factor;        // that row's multiplier
    int32_t factorIndex;  // the drive's conversion index, as READ and WRITE name it
    Access access;
    int32_t retain;
    bool changedByTheSoak;  // given a new raw value on the drive before every step
    int64_t lowest;         // raw values a write sends, or the soak sets
    int64_t highest;
    int64_t refusedRaw;     // a raw value past the drive's own limit, exact as a typed text; 0: none
    std::u16string name;

    bool Readable() const { return access != Access::WriteOnly; }
    bool Writable() const { return access != Access::ReadOnly; }
};

const std::vector<PlanChannel>& PlanChannels();
// Host channel number of plan channel i.
inline int32_t HostChannel(std::size_t i) { return static_cast<int32_t>(i) + kFixedChannels + 1; }
// The configuration blob of the device: the fixed channels and the plan's.
std::vector<uint8_t> PlanBlob();

}  // namespace korvansoak
