#include "platform/variant.h"

#include <cstring>
#include <limits>

#include "platform/shared_heap.h"

namespace korvan::platform {

char16_t* AllocBstr(std::u16string_view text) {
    if (text.size() > (std::numeric_limits<uint32_t>::max() - 8) / sizeof(char16_t)) return nullptr;
    const auto bytes = static_cast<uint32_t>(text.size() * sizeof(char16_t));
    auto* block = static_cast<char*>(SharedAllocZeroed(1, sizeof(uint32_t) + bytes + sizeof(char16_t)));
    if (block == nullptr) return nullptr;
    std::memcpy(block, &bytes, sizeof bytes);
    if (bytes > 0) std::memcpy(block + sizeof(uint32_t), text.data(), bytes);
    return reinterpret_cast<char16_t*>(block + sizeof(uint32_t));
}

void FreeBstr(char16_t* bstr) {
    if (bstr != nullptr) SharedFree(reinterpret_cast<char*>(bstr) - sizeof(uint32_t));
}

std::u16string_view BstrText(const char16_t* bstr) {
    return bstr == nullptr ? std::u16string_view{} : std::u16string_view{bstr};
}

void VariantClear(VARIANT& variant) {
    if (variant.vt == VT_BSTR) FreeBstr(variant.u.bstrVal);
    variant = VARIANT{};
    variant.vt = VT_EMPTY;
}

VARIANT MakeIntegerVariant(int32_t value) {
    VARIANT v{};
    v.vt = VT_I4;
    v.u.lVal = value;
    return v;
}

VARIANT MakeFloatVariant(float value) {
    VARIANT v{};
    v.vt = VT_R4;
    v.u.fltVal = value;
    return v;
}

VARIANT MakeTextVariant(std::u16string_view text) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.u.bstrVal = AllocBstr(text);
    return v;
}

}  // namespace korvan::platform
