#include "link/parameter_value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "channels/channel_types.h"
#include "platform/system/code_page.h"
#include "platform/system/wide_text.h"

namespace korvan {
namespace {

struct TypeLayout {
    char letter;
    int32_t digits;  // hexadecimal digits: two per byte
    int32_t offset;  // first value byte in the telegram
    int64_t lowest;
    int64_t highest;
};

// Data types 0..4: signed 16, signed 32, unsigned 8, unsigned 16, unsigned 32.
constexpr std::array<TypeLayout, 5> kLayouts = {{
    {'T', 4, 9, -32768, 32767},
    {'W', 8, 7, -2147483648LL, 2147483647LL},
    {'P', 2, 10, 0, 255},
    {'S', 4, 9, 0, 65535},
    {'V', 8, 7, 0, 4294967295LL},
}};

const TypeLayout* LayoutOf(int32_t dataType) {
    return dataType >= 0 && dataType < static_cast<int32_t>(kLayouts.size()) ? &kLayouts[dataType] : nullptr;
}

const TypeLayout* LayoutOfLetter(char letter) {
    for (const TypeLayout& layout : kLayouts) {
        if (layout.letter == letter) return &layout;
    }
    return nullptr;
}

int64_t TruncateInto(double value, const TypeLayout& layout) {
    if (std::isnan(value)) return 0;
    const double truncated = std::trunc(value);
    if (truncated <= static_cast<double>(layout.lowest)) return layout.lowest;
    if (truncated >= static_cast<double>(layout.highest)) return layout.highest;
    return static_cast<int64_t>(truncated);
}

uint32_t BigEndian(const ByteBuffer& bytes, std::size_t at, int32_t width) {
    uint32_t value = 0;
    for (int32_t i = 0; i < width; ++i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

int HexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

}  // namespace

bool ValueFitsType(double value, int32_t dataType) {
    const TypeLayout* layout = LayoutOf(dataType);
    if (layout == nullptr || !std::isfinite(value)) return false;
    const double truncated = std::trunc(value);
    return truncated >= static_cast<double>(layout->lowest) && truncated <= static_cast<double>(layout->highest);
}

std::string ValueToHexDigits(double value, char formatLetter, int32_t digits) {
    const TypeLayout* layout = LayoutOfLetter(formatLetter);
    const int64_t integer = layout != nullptr ? TruncateInto(value, *layout) : 0;
    char text[24];
    // Two's complement over 64 bits, of which the rightmost `digits` are kept.
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(integer));
    const auto keep = static_cast<std::size_t>(std::clamp(digits, 0, 16));
    return std::string(text + 16 - keep);
}

std::array<uint8_t, 4> EncodeParameterValue(double value, int32_t dataType) {
    std::array<uint8_t, 4> field{};
    const TypeLayout* layout = LayoutOf(dataType);
    if (layout == nullptr) return field;
    const std::string digits = ValueToHexDigits(value, layout->letter, layout->digits);
    const auto first = static_cast<std::size_t>(layout->offset - 7);
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        field[first + i / 2] = static_cast<uint8_t>(HexValue(digits[i]) << 4 | HexValue(digits[i + 1]));
    }
    return field;
}

double DecodeParameterValue(const ByteBuffer& reply, int32_t dataType, double factor) {
    const TypeLayout* layout = LayoutOf(dataType);
    if (layout == nullptr || reply.size() < 11) return 0.0;
    const uint32_t raw = BigEndian(reply, static_cast<std::size_t>(layout->offset), layout->digits / 2);
    double integer = raw;
    if (dataType == kSigned16) integer = static_cast<int16_t>(raw);
    if (dataType == kSigned32) integer = static_cast<int32_t>(raw);
    return integer * factor;
}

std::u16string DecodeParameterText(const ByteBuffer& reply) {
    if (reply.size() < 12) return {};
    ByteBuffer bytes(reply.begin() + 7, reply.end() - 5);
    std::u16string text;
    BytesToText(bytes, text);
    return text;
}

uint16_t ReplyStatusWord(const ByteBuffer& reply) {
    return reply.size() < 5 ? 0 : static_cast<uint16_t>(BigEndian(reply, reply.size() - 5, 2));
}

int32_t ReplyMainActualValue(const ByteBuffer& reply) {
    return reply.size() < 5 ? 0 : static_cast<int32_t>(BigEndian(reply, reply.size() - 3, 2) / 16384);
}

int32_t TextToBytes(std::u16string_view text, ByteBuffer& bytes) {
    const std::string converted = platform::WideToCodePage(text);
    bytes.assign(converted.begin(), converted.end());
    return static_cast<int32_t>(bytes.size());
}

int32_t BytesToText(ByteBuffer& bytes, std::u16string& text) {
    bytes.push_back(0);
    text = platform::CodePageToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return static_cast<int32_t>(bytes.size());
}

double DecimalTextToValue(std::u16string_view text) {
    return static_cast<double>(platform::ScanFloat(text).value_or(0.0f));
}

}  // namespace korvan
