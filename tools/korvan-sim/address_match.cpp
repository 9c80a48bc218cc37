#include "tools/korvan-sim/address_match.h"

namespace korvansim {

AddressMatch MatchAddress(std::uint8_t adr, std::uint8_t ownAddress) {
    if (adr == ownAddress || adr == (0x80u | ownAddress)) {
        return AddressMatch::Exact;
    }
    if (adr == 0x80u) {
        return AddressMatch::Broadcast;
    }
    if ((adr & 0x80u) != 0) {
        return AddressMatch::Foreign;
    }
    if ((adr & 0x20u) != 0) {
        return AddressMatch::Broadcast;
    }
    return (adr & 0x1Fu) == ownAddress ? AddressMatch::ShortForm : AddressMatch::Foreign;
}

}  // namespace korvansim
