// BSTRs and variant clearing from oleaut32, as the host's own objects use them.
#include <windows.h>
#include <oleauto.h>

#include <limits>

#include "platform/automation/automation_abi.h"
#include "platform/automation/variant.h"

namespace korvan::platform {

char16_t* AllocBstr(std::u16string_view text) {
    if (text.size() > (std::numeric_limits<uint32_t>::max() - 8) / sizeof(char16_t)) return nullptr;
    return AsUtf16(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size())));
}

void FreeBstr(char16_t* bstr) { SysFreeString(reinterpret_cast<BSTR>(bstr)); }

void VariantClear(VARIANT& variant) {
    ::VariantClear(&variant);
    // A variant the system refuses to clear (of a type it does not know) is dropped all the same.
    variant = VARIANT{};
    variant.vt = VT_EMPTY;
}

}  // namespace korvan::platform
