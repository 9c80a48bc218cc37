// Code page 936 on the host's side, through the C library's iconv.
#include <iconv.h>

#include <cstring>

#include "tools/hostkit/config_blob.h"

namespace hostkit {
namespace {

std::string Convert(const char* to, const char* from, const char* data, std::size_t size) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(size * 2 + 8, '\0');
    auto* in = const_cast<char*>(data);
    char* cursor = out.data();
    std::size_t inLeft = size;
    std::size_t room = out.size();
    iconv(handle, &in, &inLeft, &cursor, &room);
    iconv_close(handle);
    out.resize(out.size() - room);
    return out;
}

}  // namespace

std::string ToGbk(std::u16string_view text) {
    return Convert("GBK", "UTF-16LE", reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::u16string FromGbk(std::string_view bytes) {
    const std::string wide = Convert("UTF-16LE", "GBK", bytes.data(), bytes.size());
    std::u16string out(wide.size() / 2, u'\0');
    std::memcpy(out.data(), wide.data(), out.size() * 2);
    return out;
}

}  // namespace hostkit
