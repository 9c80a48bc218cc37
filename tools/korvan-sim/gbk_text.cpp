#include "tools/korvan-sim/gbk_text.h"

#include <cstdint>
#include <cstdio>

namespace korvansim {
namespace {

bool IsPrintable(std::string_view utf8) {
    for (const char c : utf8) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F || byte == '\\') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string PrintableText(std::span<const std::uint8_t> bytes) {
    const std::optional<std::string> utf8 = GbkToUtf8(bytes);
    if (utf8 && IsPrintable(*utf8)) {
        return *utf8;
    }
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text.push_back(static_cast<char>(byte));
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(byte));
            text.append(hex);
        }
    }
    return text;
}

}  // namespace korvansim
