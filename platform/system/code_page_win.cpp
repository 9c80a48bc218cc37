// Code page 936 through WideCharToMultiByte and MultiByteToWideChar, whatever the
// system's default code page is: a configuration written on a Chinese Windows keeps its
// names on a Windows set to another one (UTF-8 included), and the bytes are those of
// the Linux builds. ASCII takes a direct path. What the code page cannot hold becomes
// '?' the same way the iconv side does it: one '?' per character (a surrogate pair is
// one character, none of which code page 936 holds) and one per byte that starts no
// valid sequence.
#include "platform/system/code_page.h"

#include <windows.h>

#include <algorithm>

namespace korvan::platform {
namespace {

constexpr UINT kCodePage = 936;

bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Appends a run without surrogates; each character the code page lacks becomes '?'.
void EncodeRun(std::u16string_view run, std::string& out) {
    const auto length = static_cast<int>(run.size());
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char* fallback = "?";
    const int size = WideCharToMultiByte(kCodePage, flags, Wide(run.data()), length, nullptr, 0, fallback, nullptr);
    if (size <= 0) {
        out.append(run.size(), '?');
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(size));
    WideCharToMultiByte(kCodePage, flags, Wide(run.data()), length, out.data() + at, size, fallback, nullptr);
}

// The characters of `bytes` when all of them are valid in the code page.
bool DecodeStrictly(std::string_view bytes, std::u16string& out) {
    const auto length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(size));
    MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data() + at),
                        size);
    return true;
}

}  // namespace

std::string WideToCodePage(std::u16string_view text) {
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && !IsSurrogate(text[end])) ++end;
        if (end > at) EncodeRun(text.substr(at, end - at), out);
        if (end < text.size()) {
            out.push_back('?');
            const bool pair = IsHighSurrogate(text[end]) && end + 1 < text.size() && IsLowSurrogate(text[end + 1]);
            end += pair ? 2 : 1;
        }
        at = end;
    }
    return out;
}

std::u16string CodePageToWide(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    std::u16string out;
    if (DecodeStrictly(bytes, out)) return out;
    // Character by character: a lead byte with its trail byte, else the byte alone,
    // else '?' for that one byte.
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++at;
        } else if (at + 1 < bytes.size() && IsDBCSLeadByteEx(kCodePage, byte) && DecodeStrictly(bytes.substr(at, 2), out)) {
            at += 2;
        } else {
            if (!DecodeStrictly(bytes.substr(at, 1), out)) out.push_back(u'?');
            ++at;
        }
    }
    return out;
}

}  // namespace korvan::platform
