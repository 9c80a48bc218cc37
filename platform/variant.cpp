#include "platform/variant.h"

namespace korvan::platform {

std::u16string_view BstrText(const char16_t* bstr) {
    return bstr == nullptr ? std::u16string_view{} : std::u16string_view{bstr};
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
