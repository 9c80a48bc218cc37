// What the host should hold after the driver took a reply the simulated drive logged:
// the reply rebuilt as the drive made it (before any fault touched it) and read the
// way the protocol defines, independently of the driver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/korvan-sim/reply_log.h"

namespace korvansoak {

struct Reading {
    double value = 0.0;       // numeric channels: raw × factor
    std::u16string text;      // text channels
    double statusWord = 0.0;
    double mainActual = 0.0;  // PCD2 / 16384

    bool operator==(const Reading&) const = default;
};

// The telegram the drive built for this reply, check character included.
std::vector<uint8_t> ReplyAsBuilt(const korvansim::ReplyRecord& record);
// A reply that went on the line and gives parameter `pnu`'s value: not dropped, not
// a refusal, for that parameter.
bool GivesValueOf(const korvansim::ReplyRecord& record, uint16_t pnu);
// The reading of a reply for a channel of `type` (5: text) scaled by `factor`.
Reading ReadingOf(const std::vector<uint8_t>& reply, int32_t type, double factor);
// The raw value in the reply's value field as `type` lays it out.
int64_t RawValueOf(const korvansim::ReplyRecord& record, int32_t type);

}  // namespace korvansoak
