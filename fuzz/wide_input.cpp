#include "fuzz/wide_input.h"

namespace korvanfuzz {
namespace {

constexpr uint8_t kRawUnit = 0xFF;

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 sequence that starts with `lead`, 0 for no valid lead byte.
std::size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The code point of a well-formed sequence of `length` bytes at `at`; 0 when the
// sequence is cut short, has a bad continuation byte, or is an overlong, surrogate
// or out-of-range form (callers then take the lead byte alone).
char32_t DecodeSequence(std::span<const uint8_t> bytes, std::size_t at, std::size_t length) {
    if (length == 0 || at + length > bytes.size()) return 0;
    if (length == 1) return bytes[at];
    static constexpr uint8_t kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t point = bytes[at] & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(bytes[at + i])) return 0;
        point = point << 6 | (bytes[at + i] & 0x3F);
    }
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    if (point < kSmallest[length] || point > 0x10FFFF || surrogate) return 0;
    return point;
}

void AppendPoint(std::u16string& text, char32_t point) {
    if (point < 0x10000) {
        text.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

}  // namespace

std::u16string WideFromBytes(std::span<const uint8_t> bytes) {
    std::u16string text;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const uint8_t lead = bytes[at];
        if (lead == kRawUnit && at + 2 < bytes.size()) {
            text.push_back(static_cast<char16_t>(bytes[at + 1] << 8 | bytes[at + 2]));
            at += 3;
            continue;
        }
        const std::size_t length = SequenceLength(lead);
        const char32_t point = DecodeSequence(bytes, at, length);
        if (lead == 0 || point != 0) {
            AppendPoint(text, point);
            at += length;
        } else {
            text.push_back(static_cast<char16_t>(0xDC00 + lead));
            ++at;
        }
    }
    return text;
}

std::vector<std::u16string> SplitText(const std::u16string& text, char16_t separator) {
    std::vector<std::u16string> pieces(1);
    for (char16_t unit : text) {
        if (unit == separator) pieces.emplace_back();
        else pieces.back().push_back(unit);
    }
    return pieces;
}

}  // namespace korvanfuzz
