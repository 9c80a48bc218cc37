#include "tests/soak/bit_flips.h"

#include "fuzz/reply_reference.h"
#include "tests/soak/drive_reading.h"

namespace korvansoak {
namespace {

constexpr uint8_t kParameterRead = 0x10;
constexpr uint8_t kTextRead = 0xF0;

// A request for `pnu` of the kind the reply answers, as far as the master's checks
// look at it.
std::vector<uint8_t> RequestFor(uint16_t pnu, int32_t type) {
    std::vector<uint8_t> request(16, 0);
    const bool text = type == 5;
    request[3] = static_cast<uint8_t>((text ? kTextRead : kParameterRead) | (pnu >> 8 & 0x07));
    request[4] = static_cast<uint8_t>(pnu);
    request[5] = text ? 0x04 : 0x00;
    return request;
}

bool XorIsZero(const std::vector<uint8_t>& bytes) {
    uint8_t sum = 0;
    for (uint8_t byte : bytes) sum ^= byte;
    return sum == 0;
}

}  // namespace

double UnseenPairRate(std::size_t bytes) {
    return bytes == 0 ? 0.0 : (static_cast<double>(bytes) - 1.0) / (8.0 * static_cast<double>(bytes) - 1.0);
}

UnseenPairs ClassifyUnseenPairs(const std::vector<uint8_t>& reply, uint16_t pnu, int32_t type) {
    const std::vector<uint8_t> request = RequestFor(pnu, type);
    const Reading original = ReadingOf(reply, type, 1.0);
    UnseenPairs shares;
    double pairs = 0.0;
    for (int bit = 0; bit < 8; ++bit) {
        for (std::size_t first = 0; first < reply.size(); ++first) {
            for (std::size_t second = first + 1; second < reply.size(); ++second) {
                std::vector<uint8_t> flipped = reply;
                flipped[first] ^= static_cast<uint8_t>(1u << bit);
                flipped[second] ^= static_cast<uint8_t>(1u << bit);
                pairs += 1.0;
                if (!korvanfuzz::IsAcceptable(request, flipped)) shares.rejected += 1.0;
                else if (ReadingOf(flipped, type, 1.0) == original) shares.harmless += 1.0;
                else shares.wrong += 1.0;
            }
        }
    }
    if (pairs > 0.0) {
        shares.rejected /= pairs;
        shares.harmless /= pairs;
        shares.wrong /= pairs;
    }
    return shares;
}

void FlipFigures::NoteReply(const std::vector<uint8_t>& sent) {
    ++replies;
    unseenExpected += UnseenPairRate(sent.size());
    if (XorIsZero(sent)) ++unseen;
}

void FlipFigures::NoteCollection(const std::vector<uint8_t>& sent, const std::vector<uint8_t>& built, uint16_t pnu,
                                 int32_t type, bool taken, bool wrongValue) {
    ++collected;
    const double rate = UnseenPairRate(built.size());
    const UnseenPairs shares = ClassifyUnseenPairs(built, pnu, type);
    rejectedExpected += rate * shares.rejected;
    harmlessExpected += rate * shares.harmless;
    wrongExpected += rate * shares.wrong;
    if (!XorIsZero(sent)) return;
    ++collectedUnseen;
    if (taken) ++accepted;
    if (wrongValue) ++wrong;
}

}  // namespace korvansoak
