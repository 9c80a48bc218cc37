// One-line descriptions of telegrams and bytes for --trace and the wire log.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/korvan-sim/reply_log.h"
#include "tools/korvan-sim/telegram.h"

namespace korvansim {

std::string HexBytes(std::span<const std::uint8_t> bytes);
// Model time as seconds with microseconds: "   12.345678".
std::string FormatTime(std::int64_t timeUs);
// "adr=0x01 ak=1 pnu=202 ind=0x0000 pwe=0x000001F4 pcd1=0x047C pcd2=0x2000 bcc=good"
std::string DescribeTelegram(const Telegram& telegram, bool bccGood);
std::string DescribeReply(const ReplyRecord& record, bool bccGood);

}  // namespace korvansim
