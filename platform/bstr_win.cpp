// BSTRs and variant clearing from oleaut32, as the host's own objects use them.
#include <limits>

#include "platform/oleaut_win.h"
#include "platform/variant.h"

namespace korvan::platform {

char16_t* AllocBstr(std::u16string_view text) {
    if (text.size() > (std::numeric_limits<uint32_t>::max() - 8) / sizeof(char16_t)) return nullptr;
    return oleaut::AllocString(text.data(), static_cast<uint32_t>(text.size()));
}

void FreeBstr(char16_t* bstr) { oleaut::FreeString(bstr); }

void VariantClear(VARIANT& variant) {
    oleaut::ClearVariant(&variant);
    // A variant the system refuses to clear (of a type it does not know) is dropped all the same.
    variant = VARIANT{};
    variant.vt = VT_EMPTY;
}

}  // namespace korvan::platform
