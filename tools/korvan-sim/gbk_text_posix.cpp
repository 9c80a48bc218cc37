// The conversions through iconv.
#include <iconv.h>

#include <cstdint>
#include <memory>

#include "tools/korvan-sim/gbk_text.h"

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

}  // namespace korvansim
