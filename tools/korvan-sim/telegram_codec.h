// The drive's side of the wire format: requests from bytes, replies to bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/korvan-sim/telegram.h"

namespace korvansim {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kProcessLength = 6;     // LGE of an 8-byte telegram
inline constexpr std::uint8_t kParameterLength = 14;  // LGE of a 16-byte telegram
inline constexpr std::uint8_t kTextOverhead = 10;     // LGE of a text telegram is 10 + n
inline constexpr std::size_t kMaxTextBytes = 245;

// XOR of all the bytes.
std::uint8_t BlockCheck(std::span<const std::uint8_t> bytes);
// LGE values a telegram can have: 6, or 10 and above (text telegrams; 14 is also the
// parameter telegram).
bool IsPlausibleLength(std::uint8_t lge);

enum class DecodeError : std::uint8_t { None, TooShort, NoStx, BadLength, BadBcc, BadLayout };
std::string_view DecodeErrorName(DecodeError error);

struct Decoded {
    Telegram telegram;  // filled as far as the bytes allow, also when the BCC is wrong
    DecodeError error = DecodeError::None;
};

// `frame` is one whole telegram, STX to BCC. A 16-byte telegram with AK 15 and IND high
// byte 5 is a text write of 4 bytes; every other 16-byte telegram is a parameter telegram.
Decoded DecodeTelegram(std::span<const std::uint8_t> frame);

// LGE and BCC are computed; a text longer than 245 bytes is cut.
std::vector<std::uint8_t> EncodeTelegram(const Telegram& telegram);

}  // namespace korvansim
