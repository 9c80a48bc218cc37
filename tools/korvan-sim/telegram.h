// One FC-protocol telegram, request or reply, as fields.
#pragma once

#include <cstdint>
#include <vector>

namespace korvansim {

enum class TelegramKind : std::uint8_t {
    Process,    // 8 bytes: PCD1, PCD2
    Parameter,  // 16 bytes: PKE, IND, PWE, PCD1, PCD2
    Text,       // 12 + n bytes: PKE, IND, n text bytes, PCD1, PCD2
};

// Parameter commands (AK) of requests and replies.
namespace ak {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kRead = 1;
inline constexpr std::uint8_t kWriteWord = 2;
inline constexpr std::uint8_t kWriteDouble = 3;
inline constexpr std::uint8_t kWriteDoubleEeprom = 13;
inline constexpr std::uint8_t kWriteWordEeprom = 14;
inline constexpr std::uint8_t kText = 15;

inline constexpr std::uint8_t kWordValue = 1;
inline constexpr std::uint8_t kDoubleValue = 2;
inline constexpr std::uint8_t kCannotExecute = 7;
inline constexpr std::uint8_t kTextValue = 15;
}  // namespace ak

// IND high bytes of the text commands.
inline constexpr std::uint8_t kTextReadIndex = 0x04;
inline constexpr std::uint8_t kTextWriteIndex = 0x05;

// Error numbers the drive puts in PWE with AK 7.
namespace refusal {
inline constexpr std::uint16_t kUnknownParameter = 0;
inline constexpr std::uint16_t kNoWriteAccess = 1;
inline constexpr std::uint16_t kExceedsLimits = 2;
inline constexpr std::uint16_t kNoSuchIndex = 3;
inline constexpr std::uint16_t kNotAnArray = 4;
inline constexpr std::uint16_t kWrongDataType = 5;
inline constexpr std::uint16_t kNotInPresentMode = 17;
inline constexpr std::uint16_t kNoBusAccess = 130;
}  // namespace refusal

struct Telegram {
    TelegramKind kind = TelegramKind::Parameter;
    std::uint8_t address = 0;    // ADR byte as on the wire
    std::uint8_t ak = 0;         // PKE bits 15..12
    bool spontaneous = false;    // PKE bit 11
    std::uint16_t pnu = 0;       // PKE bits 10..0
    std::uint16_t index = 0;     // IND
    std::uint32_t value = 0;     // PWE (parameter telegrams)
    std::vector<std::uint8_t> text;  // text telegrams, code page 936
    std::uint16_t pcd1 = 0;      // control word / status word
    std::uint16_t pcd2 = 0;      // reference / main actual value
};

}  // namespace korvansim
