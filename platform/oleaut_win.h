// oleaut32's BSTR and variant functions behind declarations free of the system's
// types, for the files that also see the host's automation types (whose names the
// system's headers would take).
#pragma once

#include <cstdint>

namespace korvan::platform::oleaut {

// SysAllocStringLen: `length` characters of `text` and a terminator; nullptr when the
// system cannot serve it.
char16_t* AllocString(const char16_t* text, uint32_t length);
// SysFreeString; nullptr is allowed.
void FreeString(char16_t* bstr);
// VariantClear on a VARIANT of the system's layout; its result code.
int32_t ClearVariant(void* variant);

}  // namespace korvan::platform::oleaut
