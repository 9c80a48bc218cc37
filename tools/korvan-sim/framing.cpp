#include "tools/korvan-sim/framing.h"

#include <array>

namespace korvansim {
namespace {

constexpr std::array<std::uint32_t, 10> kBauds = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

std::optional<Framing> ParseFraming(std::string_view text) {
    if (text.size() != 3 || text[0] != '8') {
        return std::nullopt;
    }
    Framing framing;
    switch (text[1]) {
    case 'N': framing.parity = Parity::None; break;
    case 'E': framing.parity = Parity::Even; break;
    case 'O': framing.parity = Parity::Odd; break;
    default: return std::nullopt;
    }
    if (text[2] != '1' && text[2] != '2') {
        return std::nullopt;
    }
    framing.stopBits = static_cast<std::uint8_t>(text[2] - '0');
    if (framing.parity != Parity::None && framing.stopBits == 2) {
        return std::nullopt;
    }
    return framing;
}

std::string FramingName(const Framing& framing) {
    const char parity = framing.parity == Parity::None ? 'N' : framing.parity == Parity::Even ? 'E' : 'O';
    return std::to_string(framing.dataBits) + parity + std::to_string(framing.stopBits);
}

std::uint32_t BitsPerCharacter(const Framing& framing) {
    return 1u + framing.dataBits + (framing.parity == Parity::None ? 0u : 1u) + framing.stopBits;
}

bool IsSupportedBaud(std::uint32_t baud) {
    for (const std::uint32_t known : kBauds) {
        if (known == baud) {
            return true;
        }
    }
    return false;
}

std::int64_t WireNanoseconds(std::uint32_t baud, const Framing& framing, std::uint64_t count) {
    if (baud == 0) {
        return 0;
    }
    const std::uint64_t bits = count * BitsPerCharacter(framing);
    return static_cast<std::int64_t>(bits * 1000000000ull / baud);
}

}  // namespace korvansim
