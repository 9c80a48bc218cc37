// Character format and baud rate of the line, and the time a character takes on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvansim {

enum class Parity : std::uint8_t { None, Even, Odd };

// One start bit, the data bits, an optional parity bit and the stop bits.
struct Framing {
    std::uint8_t dataBits = 8;
    Parity parity = Parity::Even;
    std::uint8_t stopBits = 1;
};

// Accepts 8E1, 8N1, 8N2 and 8O1 (the drive always uses 8 data bits).
std::optional<Framing> ParseFraming(std::string_view text);
std::string FramingName(const Framing& framing);
std::uint32_t BitsPerCharacter(const Framing& framing);

bool IsSupportedBaud(std::uint32_t baud);

// Nanoseconds that `count` characters occupy on the line.
std::int64_t WireNanoseconds(std::uint32_t baud, const Framing& framing, std::uint64_t count);

}  // namespace korvansim
