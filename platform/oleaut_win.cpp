#include "platform/oleaut_win.h"

#include <windows.h>
#include <oleauto.h>

namespace korvan::platform::oleaut {

static_assert(sizeof(OLECHAR) == sizeof(char16_t));

char16_t* AllocString(const char16_t* text, uint32_t length) {
    return reinterpret_cast<char16_t*>(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), length));
}

void FreeString(char16_t* bstr) { SysFreeString(reinterpret_cast<BSTR>(bstr)); }

int32_t ClearVariant(void* variant) { return ::VariantClear(static_cast<VARIANTARG*>(variant)); }

}  // namespace korvan::platform::oleaut
