// Whom an ADR byte is for. The drive takes its plain address (as the driver sends it),
// 0x80 | address (1-126 format) and, in the 1-31 format (bit 7 = 0, bit 5 = 0), address bits
// 0-4 with bit 6 unused. 0x80 and any byte with bit 7 = 0 and bit 5 = 1 are broadcasts.
#pragma once

#include <cstdint>

namespace korvansim {

enum class AddressMatch : std::uint8_t {
    Exact,      // plain address or 0x80 | address
    ShortForm,  // 1-31 format with bit 6 set or the address in bits 0-4 only
    Broadcast,
    Foreign,
};

AddressMatch MatchAddress(std::uint8_t adr, std::uint8_t ownAddress);

}  // namespace korvansim
