// Automation values as the host's objects exchange them: BSTRs (a length-prefixed
// text from the shared heap) and VARIANTs, with clearing that frees what they own.
#pragma once

#include <cstdint>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan::platform {

// nullptr when the heap cannot serve it; an empty text is an empty BSTR, not nullptr.
char16_t* AllocBstr(std::u16string_view text);
void FreeBstr(char16_t* bstr);
// The text up to its first 0 character; empty for nullptr.
std::u16string_view BstrText(const char16_t* bstr);

// Frees a BSTR the variant holds and leaves it VT_EMPTY.
void VariantClear(VARIANT& variant);
VARIANT MakeIntegerVariant(int32_t value);
VARIANT MakeFloatVariant(float value);
// Owns a fresh copy of the text; clear it with VariantClear.
VARIANT MakeTextVariant(std::u16string_view text);

}  // namespace korvan::platform
