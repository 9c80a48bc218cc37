// Code page 936 through the C library's iconv, with a direct path for ASCII. Opening a
// conversion costs several times more than converting a name, so each direction keeps
// one open for the life of the module, used under a lock (texts may come from the
// host's threads for different devices).
#include "platform/system/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

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
    // Back to the initial shift state, as a fresh conversion starts.
    void Reset() {
        if (IsOpen()) iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }

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

// One direction of the conversion, opened once and handed out under its lock.
class SharedConverter {
public:
    SharedConverter(const char* to, const char* from) : converter_(to, from) {}
    template <class Work>
    auto With(Work&& work) {
        std::lock_guard<std::mutex> lock(mutex_);
        converter_.Reset();
        return work(converter_);
    }

private:
    std::mutex mutex_;
    Converter converter_;
};

SharedConverter& Encoder() {
    static SharedConverter encoder(kCodePage, kWide);
    return encoder;
}

SharedConverter& Decoder() {
    static SharedConverter decoder(kWide, kCodePage);
    return decoder;
}

bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string Encode(Converter& converter, std::u16string_view text) {
    std::string out;
    if (!converter.IsOpen()) {
        for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    while (!converter.Run(in, inLeft, out)) {
        // A character the code page lacks (a whole surrogate pair, or a lone surrogate)
        // becomes '?'.
        char16_t unit[2] = {};
        std::memcpy(unit, in, std::min(inLeft, sizeof unit));
        const bool pair = inLeft >= sizeof unit && IsHighSurrogate(unit[0]) && IsLowSurrogate(unit[1]);
        const std::size_t skip = std::min<std::size_t>(pair ? 4 : 2, inLeft);
        out.push_back('?');
        in += skip;
        inLeft -= skip;
        converter.Reset();
    }
    return out;
}

std::u16string Decode(Converter& converter, std::string_view bytes) {
    std::u16string out;
    if (!converter.IsOpen()) {
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'?');
        return out;
    }
    std::string wide;
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (!converter.Run(in, inLeft, wide)) {
        wide.append("?\0", 2);  // one byte that starts no valid sequence
        ++in;
        --inLeft;
        converter.Reset();
    }
    out.resize(wide.size() / 2);
    std::memcpy(out.data(), wide.data(), out.size() * sizeof(char16_t));
    return out;
}

}  // namespace

std::string WideToCodePage(std::u16string_view text) {
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    return Encoder().With([text](Converter& converter) { return Encode(converter, text); });
}

std::u16string CodePageToWide(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    return Decoder().With([bytes](Converter& converter) { return Decode(converter, bytes); });
}

}  // namespace korvan::platform
