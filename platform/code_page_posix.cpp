// Code page 936 through the C library's iconv, with a direct path for ASCII.
#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace korvan::platform {
namespace {

constexpr const char* kCodePage = "GBK";
constexpr const char* kWide = "UTF-16LE";

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can into `out`; returns false at an input that cannot be
    // converted (in and inLeft then point at it) and true when all input is done.
    bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* cursor = buffer;
            std::size_t room = sizeof buffer;
            auto* source = const_cast<char*>(in);
            const std::size_t result = iconv(handle_, &source, &inLeft, &cursor, &room);
            out.append(buffer, static_cast<std::size_t>(cursor - buffer));
            in = source;
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t handle_;
};

bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::string WideToCodePage(std::u16string_view text) {
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    std::string out;
    Converter converter(kCodePage, kWide);
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    while (converter.IsOpen() && !converter.Run(in, inLeft, out)) {
        // A character the code page lacks (or a broken surrogate pair) becomes '?'.
        char16_t unit;
        std::memcpy(&unit, in, sizeof unit);
        const std::size_t skip = IsHighSurrogate(unit) && inLeft >= 4 ? 4 : 2;
        out.push_back('?');
        in += std::min(skip, inLeft);
        inLeft -= std::min(skip, inLeft);
    }
    if (!converter.IsOpen()) {
        for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

std::u16string CodePageToWide(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    std::string wide;
    Converter converter(kWide, kCodePage);
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (converter.IsOpen() && !converter.Run(in, inLeft, wide)) {
        wide.append("?\0", 2);  // one byte that starts no valid sequence
        ++in;
        --inLeft;
    }
    std::u16string out(wide.size() / 2, u'\0');
    std::memcpy(out.data(), wide.data(), out.size() * sizeof(char16_t));
    if (!converter.IsOpen()) {
        out.clear();
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'?');
    }
    return out;
}

}  // namespace korvan::platform
