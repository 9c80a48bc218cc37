#include "tools/korvan-sim/gbk_text.h"

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace korvansim {
namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle Open(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        return nullptr;
    }
    return IconvHandle(handle);
}

std::optional<std::string> Convert(const char* to, const char* from, std::string input) {
    const IconvHandle handle = Open(to, from);
    if (!handle) {
        return std::nullopt;
    }
    std::string output(input.size() * 4 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(static_cast<iconv_t>(handle.get()), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return output;
}

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

std::optional<std::vector<std::uint8_t>> Utf8ToGbk(std::string_view text) {
    const std::optional<std::string> converted = Convert("GBK", "UTF-8", std::string(text));
    if (!converted) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(converted->begin(), converted->end());
}

std::optional<std::string> GbkToUtf8(std::span<const std::uint8_t> bytes) {
    return Convert("UTF-8", "GBK", std::string(bytes.begin(), bytes.end()));
}

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
