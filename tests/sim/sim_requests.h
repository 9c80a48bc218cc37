// Requests as the driver sends them, for the simulator's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/korvan-sim/telegram.h"
#include "tools/korvan-sim/telegram_codec.h"

namespace simtest {

inline korvansim::Telegram Parameter(std::uint8_t ak, std::uint16_t pnu, std::uint16_t index = 0, std::uint32_t value = 0,
                                     std::uint16_t control = 0, std::uint16_t reference = 0, std::uint8_t address = 1) {
    korvansim::Telegram telegram;
    telegram.kind = korvansim::TelegramKind::Parameter;
    telegram.address = address;
    telegram.ak = ak;
    telegram.pnu = pnu;
    telegram.index = index;
    telegram.value = value;
    telegram.pcd1 = control;
    telegram.pcd2 = reference;
    return telegram;
}

inline korvansim::Telegram Process(std::uint16_t control, std::uint16_t reference, std::uint8_t address = 1) {
    korvansim::Telegram telegram;
    telegram.kind = korvansim::TelegramKind::Process;
    telegram.address = address;
    telegram.pcd1 = control;
    telegram.pcd2 = reference;
    return telegram;
}

inline korvansim::Telegram TextWrite(std::uint16_t pnu, std::vector<std::uint8_t> text) {
    korvansim::Telegram telegram = Parameter(korvansim::ak::kText, pnu, 0x0500);
    telegram.kind = korvansim::TelegramKind::Text;
    telegram.text = std::move(text);
    return telegram;
}

inline std::vector<std::uint8_t> Bytes(const korvansim::Telegram& telegram) {
    return korvansim::EncodeTelegram(telegram);
}

// Control words of the FC profile.
inline constexpr std::uint16_t kStart = 0x047C;   // enabled, ramping, started, data valid
inline constexpr std::uint16_t kStop = 0x043C;    // as kStart but ramp stop
inline constexpr std::uint16_t kIgnored = 0x007C; // kStart without bit 10
inline constexpr std::uint16_t kHalf = 0x2000;    // reference 50 %
inline constexpr std::uint16_t kIdle = 0x0607;    // status of an idle, ready drive under bus control

}  // namespace simtest
