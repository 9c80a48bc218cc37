#include "fuzz/reply_reference.h"

#include <algorithm>

#include "platform/system/code_page.h"

namespace korvanfuzz {
namespace {

constexpr std::size_t kProcessRequest = 8;
constexpr uint8_t kTextCommand = 15;

uint8_t Command(const std::vector<uint8_t>& telegram) { return telegram[3] >> 4; }
uint16_t Number(const std::vector<uint8_t>& telegram) {
    return static_cast<uint16_t>((telegram[3] << 8 | telegram[4]) & 0x07FF);
}
bool IsTextRead(const std::vector<uint8_t>& request) {
    return request.size() > kProcessRequest && Command(request) == kTextCommand && request[5] == 0x04 &&
           request[6] == 0x00;
}

uint32_t BigEndian(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t width) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes[at + i];
    return value;
}

}  // namespace

std::size_t ExpectedReplyLength(const std::vector<uint8_t>& request) {
    return IsTextRead(request) ? 30 : request.size();
}

std::vector<uint8_t> TakenReply(const std::vector<uint8_t>& request, const std::vector<uint8_t>& delivered) {
    std::size_t length = std::min(ExpectedReplyLength(request), delivered.size());
    // A text ends where its start and length bytes say, if that is sooner.
    if (IsTextRead(request) && delivered.size() >= 2 && delivered[0] == 0x02) {
        length = std::min<std::size_t>(length, std::size_t{delivered[1]} + 2);
    }
    return {delivered.begin(), delivered.begin() + static_cast<std::ptrdiff_t>(length)};
}

bool IsAcceptable(const std::vector<uint8_t>& request, const std::vector<uint8_t>& reply) {
    const bool parameter = request.size() > kProcessRequest;
    const std::size_t needed = !parameter ? 5 : (Command(request) == kTextCommand ? 12 : 11);
    if (reply.size() < needed || reply.size() < 4) return false;
    if (reply[0] != 0x02 || reply[1] != reply.size() - 2) return false;  // start byte and length of a telegram
    uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < reply.size(); ++i) sum ^= reply[i];
    if (sum != reply.back()) return false;
    if (!parameter) return true;
    const uint8_t command = Command(reply);
    return command != 7 && command != 8 && Number(reply) == Number(request);
}

double ReplyValue(const std::vector<uint8_t>& reply, int32_t dataType, double factor) {
    switch (dataType) {
        case 0: return static_cast<int16_t>(BigEndian(reply, 9, 2)) * factor;
        case 1: return static_cast<int32_t>(BigEndian(reply, 7, 4)) * factor;
        case 2: return BigEndian(reply, 10, 1) * factor;
        case 3: return BigEndian(reply, 9, 2) * factor;
        case 4: return BigEndian(reply, 7, 4) * factor;
        default: return 0.0;
    }
}

std::u16string ReplyText(const std::vector<uint8_t>& reply) {
    const std::string bytes(reply.begin() + 7, reply.end() - 5);
    return korvan::platform::CodePageToWide(bytes);
}

double ReplyStatus(const std::vector<uint8_t>& reply) { return BigEndian(reply, reply.size() - 5, 2); }

double ReplyMainActual(const std::vector<uint8_t>& reply) { return BigEndian(reply, reply.size() - 3, 2) / 16384; }

}  // namespace korvanfuzz
