#include "fuzz/steady_drive.h"

#include <algorithm>
#include <string_view>

#include "fuzz/fuzzed_line.h"
#include "fuzz/reply_reference.h"

namespace korvanfuzz {
namespace {

constexpr uint8_t kTextCommand = 0xF0;
constexpr uint8_t kDoubleWordCommand = 0x20;
// 变频器 in code page 936, then the drive's padding to 18 bytes.
constexpr std::string_view kText = "\xB1\xE4\xC6\xB5\xC6\xF7            ";
constexpr uint8_t kValue[] = {0x89, 0xAB, 0xCD, 0xEF};
constexpr uint8_t kProcessData[] = {0x0F, 0x07, 0x40, 0x00};

}  // namespace

std::vector<uint8_t> SteadyReply(const std::vector<uint8_t>& request) {
    std::vector<uint8_t> body(ExpectedReplyLength(request), 0);
    if (body.size() < 8) return body;
    const bool parameter = body.size() > 8;
    if (parameter) {
        const bool text = request[3] >> 4 == 15;
        body[3] = text ? kTextCommand : kDoubleWordCommand;
        if (text) std::copy_n(kText.begin(), std::min(kText.size(), body.size() - 12), body.begin() + 7);
        else std::copy(std::begin(kValue), std::end(kValue), body.begin() + 7);
    }
    std::copy(std::begin(kProcessData), std::end(kProcessData), body.end() - 5);
    return FramedReply(request, body, true);
}

}  // namespace korvanfuzz
