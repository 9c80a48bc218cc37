// BSTRs in blocks of the shared heap, with their length in front, and the clearing of
// a variant that frees the text it holds.
#include <cstring>
#include <limits>

#include "platform/automation/automation_abi.h"
#include "platform/system/shared_heap.h"
#include "platform/automation/variant.h"

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

void VariantClear(VARIANT& variant) {
    if (variant.vt == VT_BSTR) FreeBstr(VariantValue<char16_t*>(variant));
    variant = VARIANT{};
    variant.vt = VT_EMPTY;
}


}  // namespace korvan::platform
