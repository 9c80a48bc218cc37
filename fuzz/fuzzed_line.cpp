#include "fuzz/fuzzed_line.h"

#include <algorithm>

namespace korvanfuzz {
namespace {

enum Shape : uint8_t { kFramed = 0, kFramedAsGiven = 1, kRaw = 2, kSilent = 3 };
constexpr uint8_t kSplit = 1 << 2;
constexpr uint8_t kLate = 1 << 3;
constexpr uint8_t kLineError = 1 << 4;
constexpr uint32_t kOnTimeMs = 5;
constexpr std::size_t kProcessRequest = 8;
constexpr uint32_t kLateMs = 150;  // plus up to 255: either side of the 200 ms time-out

uint8_t Xor(std::span<const uint8_t> bytes) {
    uint8_t sum = 0;
    for (uint8_t byte : bytes) sum ^= byte;
    return sum;
}

}  // namespace

std::vector<uint8_t> FramedReply(const std::vector<uint8_t>& request, std::span<const uint8_t> body, bool goodCheck) {
    std::vector<uint8_t> reply(body.begin(), body.end());
    if (reply.size() < 5) return reply;
    reply[0] = 0x02;
    reply[1] = static_cast<uint8_t>(reply.size() - 2);
    if (request.size() > 2) reply[2] = request[2];
    if (reply.size() > 4 && request.size() > kProcessRequest) {
        // The input keeps the reply's command and spontaneous bit; the number is echoed.
        reply[3] = static_cast<uint8_t>((reply[3] & 0xF8) | (request[3] & 0x07));
        reply[4] = request[4];
    }
    if (goodCheck) reply.back() = Xor(std::span(reply).first(reply.size() - 1));
    return reply;
}

bool FuzzedLine::Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
    request_.assign(bytes.begin(), bytes.end());
    delivered_.clear();
    const bool written = ScriptedPort::Write(bytes, timeoutMs);
    const uint8_t header = input_.Byte();
    Schedule(header, Reply(header & 3));
    return written;
}

bool FuzzedLine::Read(std::span<uint8_t> into) {
    const bool read = ScriptedPort::Read(into);
    if (read) delivered_.insert(delivered_.end(), into.begin(), into.end());
    return read;
}

std::vector<uint8_t> FuzzedLine::Reply(uint8_t shape) {
    const std::span<const uint8_t> body = input_.Chunk();
    switch (shape) {
        case kFramed: return FramedReply(request_, body, true);
        case kFramedAsGiven: return FramedReply(request_, body, false);
        case kRaw: return {body.begin(), body.end()};
        default: return {};
    }
}

void FuzzedLine::Schedule(uint8_t header, std::vector<uint8_t> reply) {
    const std::span<const uint8_t> noise = input_.Bytes(header >> 5);
    reply.insert(reply.begin(), noise.begin(), noise.end());
    if (reply.empty()) return;
    uint32_t at = clock_.now + ((header & kLate) != 0 ? kLateMs + input_.Byte() : kOnTimeMs);
    const bool lineError = (header & kLineError) != 0;
    if ((header & kSplit) != 0) {
        const std::size_t cut = std::min<std::size_t>(input_.Byte(), reply.size());
        Arrive(at, std::vector<uint8_t>(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(cut)), lineError);
        reply.erase(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(cut));
        at += input_.Byte();
    }
    Arrive(at, std::move(reply), lineError);
}

}  // namespace korvanfuzz
