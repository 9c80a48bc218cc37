#include "platform/system/wide_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace korvan::platform {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::u16string_view SkipWhiteSpace(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    return text.substr(i);
}

// Takes an optional sign off the front; true when it was a minus.
bool TakeSign(std::u16string_view& text) {
    if (text.empty() || (text[0] != u'-' && text[0] != u'+')) return false;
    const bool negative = text[0] == u'-';
    text.remove_prefix(1);
    return negative;
}

std::optional<int32_t> ScanDigits(std::u16string_view text, uint32_t base, bool negative) {
    uint32_t value = 0;
    std::size_t used = 0;
    for (; used < text.size(); ++used) {
        const int digit = HexValue(text[used]);
        if (digit < 0 || static_cast<uint32_t>(digit) >= base) break;
        value = value * base + static_cast<uint32_t>(digit);
    }
    if (used == 0) return std::nullopt;
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// The length of the longest prefix shaped like digits [. digits] [e [sign] digits].
std::size_t NumberLength(std::u16string_view text) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

}  // namespace

// ASCII white space, the no-break space and the ideographic (full-width) space.
bool IsWhiteSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0' || c == u'\u3000';
}

std::u16string_view Trim(std::u16string_view text) {
    text = SkipWhiteSpace(text);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string ToUpper(std::u16string_view text) {
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

std::optional<int32_t> ScanDecimal(std::u16string_view text) {
    text = SkipWhiteSpace(text);
    const bool negative = TakeSign(text);
    return ScanDigits(text, 10, negative);
}

std::optional<int32_t> ScanHex(std::u16string_view text) {
    text = SkipWhiteSpace(text);
    const bool negative = TakeSign(text);
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X') && HexValue(text[2]) >= 0) {
        text.remove_prefix(2);
    }
    return ScanDigits(text, 16, negative);
}

std::optional<float> ScanFloat(std::u16string_view text) {
    text = SkipWhiteSpace(text);
    const bool negative = TakeSign(text);
    const std::size_t length = NumberLength(text);
    if (length == 0) return std::nullopt;
    const std::string ascii = Narrow(text.substr(0, length));
    float value = 0.0f;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large becomes infinity, too small becomes zero, as the C library's scan does.
        const bool tiny = ascii.find_first_of("123456789") == std::string::npos ||
                          ascii.find("e-") != std::string::npos || ascii.find("E-") != std::string::npos;
        value = tiny ? 0.0f : std::numeric_limits<float>::infinity();
    }
    (void)end;
    return negative ? -value : value;
}

std::u16string FormatDecimal(int64_t value) { return Widen(std::to_string(value)); }

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string Narrow(std::u16string_view ascii) {
    std::string narrow;
    narrow.reserve(ascii.size());
    for (char16_t c : ascii) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

}  // namespace korvan::platform
