// The conversions through code page 936 of the system, refusing what does not convert
// as iconv does.
#include <windows.h>

#include <cstdint>

#include "tools/korvan-sim/gbk_text.h"

namespace korvansim {
namespace {

constexpr UINT kGbk = 936;

std::optional<std::wstring> Wide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                         nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return wide;
}

std::optional<std::string> Narrow(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    BOOL lossy = FALSE;
    BOOL* lossyFlag = codePage == CP_UTF8 ? nullptr : &lossy;  // UTF-8 takes no default character
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, lossyFlag);
    if (size <= 0 || lossy) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> Utf8ToGbk(std::string_view text) {
    const auto wide = Wide(CP_UTF8, text);
    const auto gbk = wide ? Narrow(kGbk, *wide) : std::nullopt;
    if (!gbk) return std::nullopt;
    return std::vector<std::uint8_t>(gbk->begin(), gbk->end());
}

std::optional<std::string> GbkToUtf8(std::span<const std::uint8_t> bytes) {
    const auto wide = Wide(kGbk, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return wide ? Narrow(CP_UTF8, *wide) : std::nullopt;
}

}  // namespace korvansim
