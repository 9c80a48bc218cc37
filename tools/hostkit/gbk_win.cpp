// Code page 936 on the host's side, named explicitly: the host's bytes do not depend
// on the system's default code page, which the driver's do.
#include <windows.h>

#include "tools/hostkit/config_blob.h"

namespace hostkit {
namespace {

constexpr UINT kGbk = 936;

}  // namespace

std::string ToGbk(std::u16string_view text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = WideCharToMultiByte(kGbk, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kGbk, 0, wide, static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::u16string FromGbk(std::string_view bytes) {
    const int size = MultiByteToWideChar(kGbk, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return {};
    std::u16string out(static_cast<std::size_t>(size), u'\0');
    MultiByteToWideChar(kGbk, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(out.data()),
                        size);
    return out;
}

}  // namespace hostkit
