// Two random bit flips in a reply against the XOR check character. Two distinct bits
// chosen alike from an n-byte reply cancel in the XOR exactly when they sit at the
// same bit position of two different bytes: for the first bit, n - 1 of the 8n - 1
// other bits, so a pair goes unseen with probability (n - 1) / (8n - 1), about 1/8
// (15/127 for the 16-byte parameter reply, 29/239 for the 30-byte text reply, 7/63
// for the 8-byte process reply). An unseen pair may still be refused by the other
// checks (start byte, length byte, parameter number, a command turned into a
// refusal), or land in bytes whose change the host never sees (the address, the
// index, bytes of the value field the data type does not use, the low bits of the
// main actual value); only the rest reach the host as wrong values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvansoak {

double UnseenPairRate(std::size_t bytes);

// Among the pairs the check character cannot see, the shares the master rejects
// anyway, takes with an unchanged reading, and takes with a wrong one.
struct UnseenPairs {
    double rejected = 0.0;
    double harmless = 0.0;
    double wrong = 0.0;
};

// Every unseen pair of bit flips on `reply` (as the drive built it), judged as the
// answer to a read of `pnu` as `type` (5: text).
UnseenPairs ClassifyUnseenPairs(const std::vector<uint8_t>& reply, uint16_t pnu, int32_t type);

struct FlipFigures {
    uint64_t replies = 0;  // replies with two bits flipped, to any request
    uint64_t unseen = 0;   // of which the check character still matched
    double unseenExpected = 0.0;
    uint64_t collected = 0;        // flipped replies to collection calls
    uint64_t collectedUnseen = 0;  // of which the check character still matched
    uint64_t accepted = 0;         // of which the driver took
    uint64_t wrong = 0;            // of which the host got a wrong value
    double rejectedExpected = 0.0;
    double harmlessExpected = 0.0;
    double wrongExpected = 0.0;

    // A flipped reply as it went on the line.
    void NoteReply(const std::vector<uint8_t>& sent);
    // A flipped reply to a collection of `pnu` as `type`: as sent, as the drive built
    // it, whether the driver took it and whether the host got a wrong value.
    void NoteCollection(const std::vector<uint8_t>& sent, const std::vector<uint8_t>& built, uint16_t pnu, int32_t type,
                        bool taken, bool wrongValue);
};

}  // namespace korvansoak
