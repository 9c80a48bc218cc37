// Converting an automation answer to the type the caller asked for, as the system's
// VariantChangeType does: a host may answer a 32-bit question with a 16-bit integer,
// a float with a double, a number with a text that holds one.
#pragma once

#include <cstdint>

#include "korvan/host_abi.h"

namespace korvan::platform {

// Variant types a host may answer with, besides those of the public header.
enum ExtraVariantType : uint16_t {
    kVtI2 = 2, kVtR8 = 5, kVtI1 = 16, kVtUi1 = 17, kVtUi2 = 18, kVtUi4 = 19, kVtInt = 22, kVtUint = 23,
};

// An Invoke result code that reports success: S_OK, S_FALSE and every other code
// without the failure bit.
inline bool Succeeded(int32_t code) { return code >= 0; }

// Converts `variant` in place to VT_I4, VT_R4 or VT_BSTR. Numbers are rounded half
// to even into integers; a text must hold one number (spaces around it allowed).
// false, with the variant left as it was, when the value does not fit the type or
// the type cannot be converted.
bool ChangeVariantType(VARIANT& variant, uint16_t type);

}  // namespace korvan::platform
