#include "platform/automation/variant.h"

#include "platform/automation/automation_abi.h"

namespace korvan::platform {

std::u16string_view BstrText(const char16_t* bstr) {
    return bstr == nullptr ? std::u16string_view{} : std::u16string_view{bstr};
}

VARIANT MakeIntegerVariant(int32_t value) {
    VARIANT v{};
    v.vt = VT_I4;
    SetVariantValue(v, value);
    return v;
}

VARIANT MakeFloatVariant(float value) {
    VARIANT v{};
    v.vt = VT_R4;
    SetVariantValue(v, value);
    return v;
}

VARIANT MakeTextVariant(std::u16string_view text) {
    VARIANT v{};
    v.vt = VT_BSTR;
    SetVariantValue(v, AllocBstr(text));
    return v;
}

}  // namespace korvan::platform
