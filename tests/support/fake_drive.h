// Replies as a drive gives them, built from a request, for scripted ports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvan::testing {

struct FakeDrive {
    uint32_t value = 0;        // the value field of numeric replies
    std::string text;          // the text of text replies (bytes as sent)
    uint16_t statusWord = 0x0607;
    uint16_t actualValue = 0x4000;
    bool refuse = false;   // answer "cannot execute" (AK 7) with error number 2
    bool damage = false;   // flip a bit of the value field after the check character is made
    int replies = 0;

    // The reply to `request` (with its check character): the same address and
    // parameter, the value or text, the status word and main actual value.
    std::vector<uint8_t> Answer(const std::vector<uint8_t>& request) {
        ++replies;
        std::vector<uint8_t> reply;
        if (request.size() == 8) {  // process telegram
            reply = {0x02, 0x06, request[2]};
        } else if (refuse) {
            reply = {0x02, 0x0E, request[2], static_cast<uint8_t>(0x70 | (request[3] & 0x0F)), request[4],
                     request[5], request[6], 0, 0, 0, 2};
        } else if (request[3] >> 4 == 15) {
            reply = {0x02, static_cast<uint8_t>(text.size() + 10), request[2], request[3], request[4], request[5],
                     request[6]};
            reply.insert(reply.end(), text.begin(), text.end());
        } else {
            const bool doubleWord = (request[3] >> 4) == 3 || (request[3] >> 4) == 13 || value > 0xFFFF;
            reply = {0x02, 0x0E, request[2], static_cast<uint8_t>((doubleWord ? 0x20 : 0x10) | (request[3] & 0x0F)),
                     request[4], request[5], request[6]};
            for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(static_cast<uint8_t>(value >> shift));
        }
        for (uint16_t word : {statusWord, actualValue}) {
            reply.push_back(static_cast<uint8_t>(word >> 8));
            reply.push_back(static_cast<uint8_t>(word));
        }
        uint8_t bcc = 0;
        for (uint8_t byte : reply) bcc ^= byte;
        reply.push_back(bcc);
        if (damage) reply[reply.size() / 2] ^= 0x40;
        return reply;
    }
};

}  // namespace korvan::testing
